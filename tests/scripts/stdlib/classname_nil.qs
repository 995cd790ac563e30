// The TOBJECT methods are never reached with a nil instance: the designator fails first.
type
  TThing = class
  end;
var
  t: TThing;
  s: string;
begin
  t := TThing.Create;
  Writeln(t.ClassName + ' ' + t.GetAncestors);
  // expect: TTHING TOBJECT.TTHING
  t := nil;
  s := t.ClassName; // expect error: class is not created
end.
