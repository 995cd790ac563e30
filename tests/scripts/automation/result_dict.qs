program ResultDict;
// Dictionaries have no script type.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.GetDict;  // expect error: could convert result
end.
