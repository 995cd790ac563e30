program ArgumentTextToNumber;
// A text is no number.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.EchoInt32('1');  // expect error: could not convert parameter
end.
