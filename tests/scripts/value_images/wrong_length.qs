// The string must have exactly the image's size.
var
  n: Integer;
begin
  try
    n := TransformStringToByte('');
  except
    Writeln('empty refused');
  end;
  // expect: empty refused
  n := TransformStringToSmallInt('abc'); // expect error: out of range
end.
