program NameInvalidPath;
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer:/no spaces');  // expect error: could not create ole object:invalid object path "/no spaces"
end.
