program ArgumentOutOfRange;
// An integer goes only where it fits: 300 is no byte.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.EchoByte(300);  // expect error: could not convert parameter
end.
