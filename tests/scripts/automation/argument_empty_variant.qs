program ArgumentEmptyVariant;
// A VARIANT without contents has no value to send.
var
  O: IDispatch;
  V: Variant;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.EchoVariant(V);  // expect error: could not convert parameter
end.
