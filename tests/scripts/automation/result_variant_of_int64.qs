program ResultVariantOfInt64;
// Nor variants holding it.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.GetVariantOfInt64;  // expect error: could convert result
end.
