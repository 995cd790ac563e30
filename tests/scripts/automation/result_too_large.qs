program ResultTooLarge;
// A reply of more values than a script array may hold (4194304, the array counted too).
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.Bytes(4194304);  // expect error: could convert result
end.
