program ArgumentNegativeUnsigned;
// A negative integer is no unsigned one.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.EchoUInt32(-1);  // expect error: could not convert parameter
end.
