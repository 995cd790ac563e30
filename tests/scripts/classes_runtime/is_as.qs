// IS tests the actual class of an instance: true for its class and every ancestor, false
// for descendants and unrelated classes, and false for a nil instance or a nil class
// reference. AS gives the instance
// as the named class (or the class a class reference holds) when it belongs to it; a nil
// instance fails with "class is not created", which TRY catches; an instance of a class
// that does not descend from the named one fails with "type mismatch".
type
  TBase = class
  public
    Id: Integer;
  end;

  TDerived = class(TBase)
  public
    Extra: string;
  end;

  TDeeper = class(TDerived)
  end;

  TOther = class
  end;

  TBaseClass = class of TBase;

var
  a, b, n: TBase;
  d: TDerived;
  r: TBaseClass;
  ok: Boolean;

begin
  a := TDerived.Create;
  b := TBase.Create;
  if a is TBase then Writeln('a is TBase');          // expect: a is TBase
  if a is TDerived then Writeln('a is TDerived');    // expect: a is TDerived
  if a is TObject then Writeln('a is TObject');      // expect: a is TObject
  if not (a is TDeeper) then Writeln('a not TDeeper');   // expect: a not TDeeper
  if not (b is TDerived) then Writeln('b not TDerived'); // expect: b not TDerived
  if not (n is TBase) then Writeln('nil not TBase'); // expect: nil not TBase
  ok := a is TDerived = true;
  if ok then Writeln('relational level');            // expect: relational level
  r := TDeeper;
  if not (a is r) then Writeln('a not r');           // expect: a not r
  r := TDerived;
  if a is r then Writeln('a is r');                  // expect: a is r
  r := nil;
  if not (a is r) then Writeln('nil reference');     // expect: nil reference
  r := TDerived;

  d := a as TDerived;
  d.Extra := 'through as';
  Writeln(d.Extra);                                  // expect: through as
  (a as TDerived).Extra := 'statement as';
  d := nil;
  d := a as r;
  Writeln(d.Extra);                                  // expect: statement as
  Writeln((a as TDerived).Extra + '!');             // expect: statement as!
  b := a as TBase;
  if b = a then Writeln('as ancestor');              // expect: as ancestor
  try
    d := n as TDerived;
    Writeln('not reached');
  except
    Writeln('nil instance caught');                  // expect: nil instance caught
  end;
  b := TBase.Create;
  d := b as TDerived;                                // expect error: type mismatch
end.
