// ClassName gives the name of the instance's actual class in upper case, also through a
// variable of an ancestor class and by its bare name inside a method. ClassNameIs compares a
// name, in any letter case, with the actual class and each of its ancestors. GetAncestors
// lists the chain from TOBJECT down to the actual class, joined by points. Called on a nil
// instance they fail with "class is not created".
type
  TMyClass = class
  public
    function Who: string;
  end;

  TChild = class(TMyClass)
  end;

  TGrandChild = class(TChild)
  end;

  TOther = class
  end;

function TMyClass.Who: string;
begin
  Result := ClassName + ' in method';
end;

function YesNo(value: Boolean): string;
begin
  if value then
    Result := 'yes'
  else
    Result := 'no';
end;

var
  o: TObject;
  m, n: TMyClass;

begin
  o := TObject.Create;
  Writeln(o.ClassName + ' ' + o.GetAncestors);   // expect: TOBJECT TOBJECT
  m := TMyClass.Create;
  Writeln(m.ClassName);                      // expect: TMYCLASS
  Writeln(m.GetAncestors);                   // expect: TOBJECT.TMYCLASS
  m := TGrandChild.Create;
  Writeln(m.ClassName);                      // expect: TGRANDCHILD
  Writeln(m.GetAncestors);                   // expect: TOBJECT.TMYCLASS.TCHILD.TGRANDCHILD
  Writeln(m.Who);                            // expect: TGRANDCHILD in method
  Writeln(YesNo(m.ClassNameIs('tchild')));       // expect: yes
  Writeln(YesNo(m.ClassNameIs('TMyClass')));     // expect: yes
  Writeln(YesNo(m.ClassNameIs('TObject')));      // expect: yes
  Writeln(YesNo(m.ClassNameIs('TGRANDCHILD')));  // expect: yes
  Writeln(YesNo(m.ClassNameIs('TOther')));       // expect: no
  Writeln(YesNo(m.ClassNameIs('TGrand')));       // expect: no
  m := TChild.Create;
  Writeln(YesNo(m.ClassNameIs('TGrandChild')));  // expect: no
  o := m;
  Writeln(o.ClassName);                      // expect: TCHILD
  o := TOther.Create;
  Writeln(o.GetAncestors);                   // expect: TOBJECT.TOTHER
  Writeln(n.ClassName);                      // expect error: class is not created
end.
