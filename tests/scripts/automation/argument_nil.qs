program ArgumentNil;
// nil is no value either.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.EchoVariant(nil);  // expect error: could not convert parameter
end.
