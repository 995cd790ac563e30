program ArgumentRealToInteger;
// A real is no integer.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.EchoInt32(1.5);  // expect error: could not convert parameter
end.
