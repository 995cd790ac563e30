{just a demo}
Program noname;

{ if use functions in other unit, add 'USES fn',
  fn should be a unit file}

function Success(ret : string) : Boolean;
begin
  if '61' = copy(ret, 1, 2) then
    Result := True
  else
    Result := False;
end;

var
  r, nCount : Integer;
  strName,ret: string;
begin
  nCount := GetReaderCount();
  writeln(IntToStr(nCount));
  strName := GetReaderName(1);
  writeln(strName);

  r := 1;
  OpenReader(r);

  ret := SendAPDU(r, '00 a4 00 00 02 3f 00');
  writeln(ret);
  // shoud be '61xx'

  if Success(ret) then
  begin
    ret := SendAPDU(r, '00 c0 00 00' + copy(ret, 3, 2));
    writeln(ret);
  end else
  begin
     writeln('Select MF error!');
    exit;
  end;

  CloseReader(r);
end.
