program ChildNode;
// A child node's interfaces belong to the child, not to the object.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer:/org/quoll/TestServer/Described');
  O.Hidden;  // expect error: unknown identifier: HIDDEN
end.
