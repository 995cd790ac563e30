program ResultUInt64;
// Nor unsigned ones.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.GetUInt64;  // expect error: could convert result
end.
