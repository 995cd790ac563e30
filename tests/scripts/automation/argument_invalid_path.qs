program ArgumentInvalidPath;
// An object path argument must be a valid path.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.EchoPath('no/path');  // expect error: could not convert parameter
end.
