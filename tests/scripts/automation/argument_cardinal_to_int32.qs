program ArgumentCardinalToInt32;
// A CARDINAL above the int32 range does not fit an int32.
var
  O: IDispatch;
  C: Cardinal;
begin
  O := CreateOleObject('org.quoll.TestServer');
  C := 4294967295;
  O.EchoInt32(C);  // expect error: could not convert parameter
end.
