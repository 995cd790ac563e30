// Low, High, Pred, Succ, Ord, GetType, Assigned and the array length routines.
type
  TColour = (Red, Green, Blue);
  TThing = class
  end;
  TThingClass = class of TThing;

var
  c: TColour;
  arr: array of Integer;
  words: array of string;
  i: Integer;
  t: TThing;
  tc: TThingClass;
  v: Variant;
  failures: string;

procedure Check(ok: Boolean; what: string);
begin
  if not ok then
    failures := failures + ' ' + what;
end;

begin
  c := Green;
  Check(Low(c) = Red, 'low');
  Check(High(c) = Blue, 'high');
  Check(Succ(c) = Blue, 'succ');
  Check(Pred(c) = Red, 'pred');
  Writeln(IntToStr(Ord(c)) + ' ' + IntToStr(Ord(Blue)) + ' ' + IntToStr(Ord('A')) + ' ' + IntToStr(Ord(Chr(200))));
  // expect: 1 2 65 200

  // Out of range: Succ of the last, Pred of the first, Ord of a longer string. (A type
  // mismatch is not a run-time error that TRY catches.)
  try c := Succ(Blue); Check(False, 'succ blue'); except end;
  try c := Pred(Red); Check(False, 'pred red'); except end;
  try i := Ord('ab'); Check(False, 'ord ab'); except end;

  // Arrays: SetArrayLength grows with zero elements and shrinks from the end.
  SetArrayLength(arr, 3);
  arr[0] := 10; arr[2] := 30;
  Writeln(IntToStr(GetArrayLength(arr)) + ' ' + IntToStr(Low(arr)) + ' ' + IntToStr(High(arr)) + ' ' + IntToStr(arr[1]));
  // expect: 3 0 2 0
  SetArrayLength(arr, 1);
  SetArrayLength(arr, 2);
  Writeln(IntToStr(arr[0]) + ' ' + IntToStr(arr[1]));
  // expect: 10 0
  SetArrayLength(arr, 0);
  Writeln(IntToStr(GetArrayLength(arr)) + ' ' + IntToStr(High(arr)));
  // expect: 0 -1
  SetArrayLength(words, 2);
  words[1] := 'b';
  SetArrayLength(arr, -4);
  Writeln(IntToStr(GetArrayLength(arr)) + ' [' + words[0] + words[1] + ']');
  // expect: 0 [b]
  // A length far beyond what memory holds is refused with a run-time error, not attempted.
  try SetArrayLength(arr, 2147483647); except Writeln('too long refused'); end;
  // expect: too long refused

  // GetType names the registered type in upper case; INTEGER is LONGINT.
  Writeln(GetType(i) + ' ' + GetType(c) + ' ' + GetType('x') + ' ' + GetType(t) + ' ' + GetType(arr) + ' ' + GetType(1.5));
  // expect: LONGINT TCOLOUR STRING TTHING VAR EXTENDED

  // Assigned: instances until freed, class references, variants; other types fail.
  Check(not Assigned(t), 'nil instance');
  t := TThing.Create;
  Check(Assigned(t), 'instance');
  t.Free;
  Check(not Assigned(t), 'freed instance');
  Check(not Assigned(tc), 'nil class ref');
  tc := TThing;
  Check(Assigned(tc), 'class ref');
  Check(not Assigned(v), 'nil variant');
  v := 3;
  Check(Assigned(v), 'variant');

  Writeln('failures:' + failures);
  // expect: failures:
end.
