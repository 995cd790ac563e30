program ResultFd;
// File descriptors have no script type.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.GetFd;  // expect error: could convert result
end.
