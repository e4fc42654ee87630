program bank;
{$WARNINGS OFF}
{$HINTS OFF}
uses rtdefs,pru,rtkern,rtmath,rtshell,rtplot,rtdlg,rtdist,rtchart,forms,
unid1 
;
var _jk, _kk:integer; label 1,2,3,4;
const _prnod:array[1..3] of _nodo=(GEN,SERV,SALE);
PROCEDURE _REVRED(N:INTEGER); VAR _II,_JJ:INTEGER; _BB:BOOLEAN;
PROCEDURE _REVNO;BEGIN if _bt then begin writeln(_ftra,'NODE ',_NNO[n]
+'[',_JK,']');
 end; _PRNOD[n](_JK);
 _trace END;
BEGIN INO:=N; CASE _TIPNOD[n] OF 
'I','A': BEGIN if (_n=N) and _ci1 AND (_JK=IEV) then _REVNO;END;
'G','L','E','R': BEGIN 
if (_n=n) and _ci1 or (_l^[_NUMEL[n]-1+_JK]>0) then _REVNO; END;
'C','O': _REVNO;
'D': BEGIN _BB:=FALSE; _JJ:=_numel[n];
FOR _II:=1 TO _MELD[_JJ,1] DO IF _L^[_MELD[_JJ,_II+1]]>0 THEN _BB:=TRUE;
IF (_N=n) AND _CI1 OR _BB THEN _REVNO; END;END;END;
begin 
_maxGraphics:=0;
rtdlg._InitMemos;rtdlg._Presenta; _prm:=true;_rep:=false;_verpsos; 
_rtopen('bank');
2:if _bout then _menu else _inici; 
3: _prm:=false;if _ut='Q' then goto 1;_quit:=false;
while  (time<tsim)  do begin 
if _bt then disfel;
_exfel;
if time>tsim then begin _afel(_n,iev,evp,false,time);time:=tsim;
goto 4 end;
_ci1:=true;
repeat _swt:=true; _k:=1; _n1:=_n;
repeat
for _jk:=1 to _mulno[_n1] do _revred(_n1);
if _quit then goto 1;
if _bmen then begin _bmen:=false; menu; end; 
_n1:=_n1 mod 3 +1; _k:=_k+1;
until (_k=4) or _es;  _ci1:=false;
until _swt or _es end ; 4:rtdlg._ModoInterrupcion(false); 
begin if _runend then goto 3; if _bout then goto 2 end;
1: CerrarGraficos;
end.
