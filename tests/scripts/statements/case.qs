// CASE: several labels per branch, ELSE, no match, only the first matching branch runs, and
// every label list is evaluated in order even after a match.
type
  TColor = (Red, Green, Blue);

var
  i: Integer;
  s: string;
  c: Char;
  color: TColor;

function Lab(n: Integer): Integer;
begin
  Writeln('label evaluated');
  Result := n;
end;

procedure Describe(n: Integer);
begin
  case n of
    1: Writeln('one');
    2, 3: Writeln('two or three');
    4, 5, 6:
      begin
        Writeln('four to six');
      end;
  else
    Writeln('other');
  end;
end;

begin
  Describe(1);       // expect: one
  Describe(3);       // expect: two or three
  Describe(5);       // expect: four to six
  Describe(9);       // expect: other
  i := 2;
  case i of
    1: Writeln('a');
    2, 3: Writeln('b');        // expect: b
    2: Writeln('c');
  else
    Writeln('d');
  end;
  case i of
    5: Writeln('no match runs nothing');
  end;
  case i of
    1: Writeln('x');
    Lab(2): Writeln('matched a computed label');   // expect: label evaluated
                                                   // expect: matched a computed label
    Lab(2): Writeln('second match not run');       // expect: label evaluated
  end;
  case i * 10 + 1 of
    20 + 1: Writeln('computed labels');   // expect: computed labels
  end;
  s := 'beta';
  case s of
    'alpha': Writeln('alpha');
    'beta', 'gamma': Writeln('string selector');   // expect: string selector
  end;
  c := 'k';
  case c of
    'j': Writeln('j');
    'k': Writeln('char selector');                 // expect: char selector
  end;
  color := Blue;
  case color of
    Red, Green: Writeln('warm');
    Blue: Writeln('enumeration selector');         // expect: enumeration selector
  end;
  case i of
    1: ;
  else
    begin
      Writeln('else block');                       // expect: else block
      Writeln('runs whole');                       // expect: runs whole
    end;
  end;
end.
