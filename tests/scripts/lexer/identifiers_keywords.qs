// Identifiers and keywords ignore letter case; underscores and digits belong to names.
VAR
  Some_Value2: Integer;
  _hidden: string;

PROCEDURE Say(text: STRING);
BEGIN
  wRiTeLn(text);
END;

Begin
  some_value2 := 5;
  IF SOME_VALUE2 = 5 then
    say('names ignore case');    // expect: names ignore case
  _HIDDEN := 'underscore';
  Say(_hidden);                  // expect: underscore
  if TRUE And Not False tHeN
    Say('keywords ignore case'); // expect: keywords ignore case
eNd.
