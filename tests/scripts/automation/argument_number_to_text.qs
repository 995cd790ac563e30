program ArgumentNumberToText;
// A number is no text.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.EchoString(1);  // expect error: could not convert parameter
end.
