program ArgumentObject;
// An automation object (any native object) is no argument.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.EchoVariant(O);  // expect error: could not convert parameter
end.
