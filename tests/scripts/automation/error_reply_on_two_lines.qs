program ErrorReplyOnTwoLines;
// A message from the bus stays on the error line: its line breaks become blanks.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.FailOnTwoLines;  // expect error: failled calling ole method: org.quoll.TestServer.Error.Refused: The first line, the second line.
end.
