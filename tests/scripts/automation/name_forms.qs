program NameForms;
// NAME is the object at "/" + NAME with dots as slashes, NAME:/path another object of the
// service, session: and system: pick the bus (the test's system bus is its private bus too).
var
  Main, Second, Started: IDispatch;
begin
  Main := CreateOleObject('org.quoll.TestServer');
  Writeln(IntToStr(Main.Count));                              // expect: 7
  Second := CreateOleObject('org.quoll.TestServer:/org/quoll/TestServer/Second');
  Writeln(Second.WhoAmI);                                     // expect: second
  Second := CreateOleObject('session:org.quoll.TestServer:/org/quoll/TestServer/Second');
  Writeln(Second.Label);                                      // expect: the second object
  Main := CreateOleObject('system:org.quoll.TestServer');
  Writeln(IntToStr(Main.Sum(40, 2)));                         // expect: 42
  // A name nobody owns yet whose service the bus can start is started.
  Started := CreateOleObject('org.quoll.TestServer.Activation');
  Writeln(IntToStr(Started.Count));                           // expect: 7
  // Names are case-insensitive for scripts, as every name is.
  Writeln(IntToStr(Main.sUm(1, 1)));                          // expect: 2
end.
