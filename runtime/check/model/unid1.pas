unit unid1;
interface 
uses rtdefs,PRU,RTKERN,RTMATH,rtshell,RTDLG,RTDIST,rtplot,rtchart,graphics,
rtnote,Dialogs
;
var _i,_j: integer;
procedure GEN(ino:integer);
procedure SERV(ino:integer);
procedure SALE(ino:integer);
implementation
procedure GEN(ino:integer);
var icopy: integer;
begin 
new(_p1);gt:=time;use:=1;et:=time; new(_px);_px^.r:=1;_px^.pas:=nil;
_nume1:=_nume1+1; _px^.number:=_nume1; _px^.nor:=_nno[1];
NUMBER:=_nume1; NODE:=_px^.nor;
_px^.b:=_p1;
begin IT := EXPO(2,1);
_afel(_n,ino,evp,blck[_n],it+time);end;
_upvr(_px^.r,_px^.b);_agr(2,_px,'l');end;
procedure SERV(ino:integer);
var icopy: integer;
begin if (_n=2) and _ci1 and (ino=iev) then begin _fre:=true;
_px:=_fl[1];_exlx(_px,1);_extr(_px,1);
_uprv(_px^.r,_px^.b); PMESS:=_px;
_agr(3,_px,'l');
if _fre then begin if f_SERV<>MAXREAL then f_SERV:=f_SERV+use;
_prsta(1,U_SERV);
if m_SERV<>MAXREAL then u_SERV:=u_SERV-use;
_prstp(1,U_SERV);
end end;
_px:=_fl[2];
 while _px<>nil do begin 
_exal(_px);_uprv(_px^.r,_px^.b); PMESS:=_px; _acc:=true;_sta:=false;
begin STAY := EXPO(1.5,1);_sta:=true; end;
if use>f_SERV then _acc:=false;if _acc then begin _extr(_px,2);
if _sta then begin xt:=time+stay;_afel(2,ino,evp,blck[2],time+stay) end else xt:=-1; 
_upvr(_px^.r,_px^.b);_agr(1,_px,'l');
if f_SERV<>MAXREAL then f_SERV:=f_SERV-use;
_prsta(1,U_SERV);
if m_SERV<>MAXREAL then u_SERV:=u_SERV+use;
_prstp(1,U_SERV);
end;if _acc then _px:=_fl[2] else 
 if f_SERV<>0.0 then _px:=_px^.p else _px:=nil;
end;end;
procedure SALE(ino:integer);
var icopy: integer;
begin 
_px:=_fl[3];
 while _px<>nil do begin 
_extr(_px,3);_uprv(_px^.r,_px^.b); PMESS:=_px;
SERVED := SERVED + 1;
_elim(_px^.r,_px^.b,_px);_px:=_fl[3] end; end;
end.
