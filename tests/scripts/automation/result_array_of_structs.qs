program ResultArrayOfStructs;
// Nor do arrays of what has none.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.GetArrayOfStructs;  // expect error: could convert result
end.
