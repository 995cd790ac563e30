program ResultInt64;
// 64-bit integers have no script type.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.GetInt64;  // expect error: could convert result
end.
