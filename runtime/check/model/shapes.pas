{ Node code as the generator fills its templates (ACT, ORDER, CREATE,
  EXTR, PREEMPTION, SELECT, SYNCHRONIZE/ASSEMBLE, SENDTO with FREE and
  MIN, DISASSEMBLE, REL, SCAN, SORT, COPYMESS, TRANS, POINT, RAND, REPORT,
  I/O lists, GRAPH, valued functions, node calls, C-node stepping, LOAD,
  DBUPDATE, INIT text), compiled against the sample pru: the runtime
  must accept every call in the shape written here.  Never run. }
unit shapes;
interface 
uses rtdefs,PRU,RTKERN,RTMATH,rtshell,RTDLG,RTDIST,rtplot,rtchart,graphics,
rtnote,Dialogs
;
var _i,_j: integer;
procedure ALLSHAPES(ino:integer);
implementation
var X, REMA, O_REMA, O_X: real; P, B_P: _pl; K: integer; S: STR80; F: text;
    N_T: integer; R, RANDV_R: array[1..3] of real; _din_R: _arreglo; _r_R, _i_R: _indice;
    _d_R: array[1..3] of integer = (1,2,3);
    _xF, _yF: _tpx; _nF: integer; _xaF: _tpxa;
    _cxF:array[1..2] of real=(1,2); _cyF:array[1..2] of real=(3,4); _caxF:array[1..2] of string[12]=('a','b');
procedure _prs1(_el,MAXSEL,_i1,_i2:integer);var _k,INO,_el1:integer;
begin _el1:=_el-1;for INO:=_i1 to _i2 do begin _el:=_el1+INO;
_px:=_fl[_el];_k:=1; while (_px<>nil) and (_k<=MAXSEL) do begin 
_uprv(_px^.r,_px^.b);
X:=1;
_k:=_k+1;
_px:=_fl[_el] end; 
end end;
procedure ALLSHAPES(ino:integer);
var icopy: integer;
begin
 _afel(3,1,evp,blck[3],time+ 2.5);
 _afel(3,2,evp,blck[3],time+ X, 7);
 _ac1:=false; extfel(3,-1,0,0);
 _acc:=false ; begin _bs:=false;_acc:=false end ; begin _bs:=false; _acc:=true end; _acc:=true ; _fre:=false;
 if f_SERV<>MAXREAL then f_SERV:=f_SERV+use; if m_SERV<>MAXREAL then u_SERV:=u_SERV-use; _swt:=false;
 if _acc then _agr(1,_px,'l') ; _agr(1,_px,'f') ;
 begin 
 _pu:=_fl[1];_bs:=true; _pa:=nil; while (_pu<>nil) and _bs do 
 begin _exalo(_pu); _uprvo(_or,_ob);O_PMESS:=_pu;if X>=O_X then begin _pa:=_pu;_pu:=_pu^.p end else _bs:=false
 end;if _pu=nil then _agr(1,_px,'l') else _inter(1,_px,_pa,_pu); 
 _acc:=false  end ;
 begin 
 new(_p1);gt:=time;et:=time;use:=1;new(_pu);_pu^.r:=1;
 _nume1:=_nume1+1; _pu^.number:=_nume1; _pu^.nor:=_nno[1]; 
 _pu^.b:=_p1; begin 
 X:=2 ;_upvr(_pu^.r,_pu^.b);end; end ;
 begin _pu:=_fl[1]; _extr(_pu,1); if _pu <>nil then _uprvo(_pu^.r,_pu^.b); O_PMESS:=_pu; _exalo(_pu); begin X:=3 end; end;
 begin _afel(_n,ino,evp,blck[_n],it+time);end; begin _afel(_n,ino,evp,blck[_n],nt);end;
 _sta:=true; if rema<>0 then stay:=rema;
 BLOCK(3,blck[3]); DEBLOCK(3,blck[3]);
 begin if f_SERV=0.0 then begin _pu:=_ll[1]; _exalo(_pu); _uprvo(_or,_ob);O_PMESS:=_pu; if ( X>1 ) then begin _extr(_pu,1);f_SERV:=1.0;
 u_SERV:=0.0; O_REMA:=o_xt-time; _acc:=true;extfel(_N1,O_XT,INO,0); begin X:=1 end; end end; end;
 _prs1(2,3,1,1);
 begin _ac1:=_acc; sync:=false;_pu:=_fl[1];
 while(_l^[1]>=2) and (_pu<>nil) do begin 
 _sinc(2,1); _sf:=true;
 if _ks =2 then begin _pc:=_fs; _sf:=false;_bs:=false;sync:=true;
 _aas:=true; _plas:=_pc^.p1;
 while _pc<>nil do begin _pu:=_pc^.p1;_acc:=true;
 if _aas then begin _aas:=false; end;
 _exal(_pu); _uprv(_pu^.r,_pu^.b);
 begin X:=1; end;
 if _acc then _error('synchronized record not sent');
 _as:=_pc; _pc:=_pc^.p2; dispose(_as);
 if _acc then begin _extr(_pu,1); _elim(_pu^.r,_pu^.b,_pu); end;
 if _pc<>nil then _pu^.p:=_pc^.p1 else _pla1:=_pc^.p1;
 _pas^.p:=_pu;_pas:=_pu;_pu^.p:=nil;
 begin _pu^.p:=nil; if _plas^.pas=nil then _plas^.pas:=_pla1 
 else begin _pla:=_plas^.pas; while _pla^.p<>nil do _pla:=_pla^.p; _pla^.p:=_pla1 end end 
 end end;if _sf then _pu:=_pu^.p else _pu:=_fl[1] end;
 if not sync then _acc:=_ac1 else _px:=nil; end;
 begin SENT:=true; if _px<> nil then _pxs:=_px^.p;
 _i:=1;while (F_SERV<=0) and (_i<=1) do _i:=_i+1;
 _imi:=1;_min:=_l^[1];_i:=1; while _i<1 do begin _i:=_i+1; if _l^[1]<_min then begin _min:=_l^[1];_imi:=_i; end end;
 _tran(true,1,2,'A',_px,_ll[2]); _copy(_px,3,'A',_ll[3]); _tran(false,0,2,'B',_pu,_fl[2]); _tran(true,1,2,'A',P,P);
 _acc:=false; _upvr(_px^.r,_px^.b); end ;
 if _px^.pas<>nil then begin _pu:=_px^.pas; while _pu<>nil do begin _exal(_pu); _pas:=_pu^.p; _pu:=_pas; end end;
 begin _pu:=_fl[1]; ext:=false; _pa:=_pu; while (_pu<>nil) and not ext do begin _exalo(_pu); _uprvo(_or,_ob); O_PMESS:=_pu; if X>1
 then ext:=true else begin _pa:=_pu; _pu:=_pu^.p end; end; if o_xt>=0.0 then extfel(1,O_XT,INO,0); end;
 while _bsc and (P<>nil) do begin SENT:=false; _besc:=false; if P <>nil then _uprvo(P^.r,P^.b); O_PMESS:=P; _exalo(P); _bsc:=false; end;
 _sort(1,X,O_X,'A'); _sort(1,K,K,'D'); _sort(1,S,S,'A');
 begin _newr(_r,_b); new(_pu);_acc:=true;_pu^.r:=_r; _pu^.b:=_b;_pu^.number:=_px^.number;_pu^.nor:=_px^.nor; _acc:=_ac1;
 if _acc then _error('copied message not sent') end;
 _es:=true ; _bt:=true; _bt:=false; _besc:=true; _bsc:=false; rtdlg._WinMensaje('Pause');
 STAT; MENU; CLRSTAT; REPLIC; DISFEL;
 TAB(X,1);
 _uprv(_pu^.r,_pu^.b); O_PMESS:=_pu; _uprvo(_pu^.r,_pu^.b); _upvr(_pu^.r,_pu^.b); _upvro(_pu^.r,_pu^.b);
 _tran(true,1,2,'A',P,_fl[2]);
 begin P:=_fl[1]; B_P:=P; _bpt:=true; while (P<>nil) and _bpt do begin if P <>nil then _uprvo(P^.r,P^.b); O_PMESS:=P; _exalo(P);
 if X>1 then _bpt:=false else begin B_P:=P; P:=P^.p end end; end;
 _seledistriconj(_din_R,1,_i_R); for _i:=1 to 1 do RANDV_R[_i]:=_d_R[_i_R^[_i]];
 rtdlg._WinMensaje('Report'); _bf:=true; assign(outf,_outf); rewrite(outf);
 rtdlg._WinMensaje('End Report'); closeFile(outf); VerArchivoReporte(_outf);
 _df[1,1]:=0; _df[1,2]:=12; _df[1,3]:=2;
 _insr(X,INPUT,false,-1,-1,'x value'); _resr(X,_ars,false,8,2,'x'); _resr(X,OUTF,_bf,8,2,'x'); _insi(K,F,true,-1,'k');
 _resi(K,_ars,false,-1,'k'); _inss(S,INPUT,false,1,'s'); _ress(S,-1,'s'); _insd(X,INPUT,false,-1,-1,'d'); _insl(K,INPUT,false,-1,'l');
 _par:=addr(R); _inar(_par,INPUT,false,-1,-1,1,3,'r'); _rear(_par,_ars,false,-1,-1,1,3,'r');
 _pai:=addr(_d_R); _inai(_pai,INPUT,false,-1,1,3,'d'); _reai(_pai,_ars,false,-1,1,3,'d');
 with _Grafico[1] do begin _tmig:=0; _tmag:=100; if (time>=_tmig) and (time<=_tmag) then begin _fgr1[2]:=X;_fgr2[2]:=0;
 _nomv[2]:='X'; _minv[2]:=0; _maxv[2]:=10; colv[2]:=5; _minv[1]:=0; _maxv[1]:=_tmag; _tg:='G';nv:=1;col:=1;_titul:=TITLE; _graph; end end;
 X:=_fPOLYGREALREAL( X,_xF,_yF,_nF ) + _fSPLINEREALREAL( X,_xF,_yF,_nF ,1) + _fSTAIRREALREAL(X,_xF,_yF,_nF);
 X:=EXPO(5,1)+UNIF(0,1,10)+TRIA(1,2,3,1)+BIN(3,0.5,1)+MAX(X,1)+MODUL(X,2)+RND(1);
 if _ci1 then X:=1;
 if (_n=1) and _ci1 or (ino<0) then X:=2;
 begin _pxx:=_px; _nn:=_n; _n:=1;_ievv:=iev; iev:=2;
 ALLSHAPES(2);
 ; _px:=_pxx; _n:=_nn; iev:=_ievv end;
 _dt:=time-1; repeat _dta:=_dt; _dt:=time-1; if _dt<>0.0 then begin _rkf(1,1);; _eul(1,1); _rk4(1,1) end else _dta:=1; until true;
 if ino=1 then begin _k:=3;_swt:=true; end;
 begin assign(_ardbase,'T.dbf'); _leerenc(_ardbase); getmem(P,100); _lonreg:=10;
 for _i1:=1 to N_T do begin blockread(_ardbase,_p1,_lonreg,_resu); val(S,X,_k); end; closeFile(_ardbase) end;
 begin assign(_ardbase,'T.dbf'); reset(_ardbase,1); assign(_ardbaseu,'U.dbf'); reset(_ardbaseu,1); _copystdb;
 for _i1:=1 to N_T do begin blockread(_ardbase,_p1,10,_resu); _stau:=S; str(X:8:2,_stau); for _j:=1 to 11 do S[_j]:=_stau[_j];
 blockwrite(_ardbaseu,_p1,10,_resu); end; closeFile(_ardbase); closeFile(_ardbaseu); end;
 gettime(_hoi,_mii,_sei,_dei); DELAY(1); GOTOXY(1,1); CLRSCR; X:=WHEREX; if KEYPRESSED then;
end;
procedure initlike;
begin
 _r_R:=addr(_d_R);_hazindice(3,_i_R); _definir(_din_R,addr(R),3,_r_R); _districonj(_din_R);
 new(_spb); new(_spc); new(_spd); new(_xF); new(_yF); _nF:=2; for _i:=1 to _nF do begin _xF^[_i]:=_cxF[_i];_yF^[_i]:=_cyF[_i]; end;
 new(_xaF); for _i:=1 to _nF do begin _xaF^[_i]:=_caxF[_i]; end;
 _spline(_xF,_yF,_nF,1);
 _bnoreal:=false; _intigraf(_xF,_yF,_nF,1,1,'F'); _bnoreal:=true; _intigrafa(_xaF,_yF,_nF,1,1,'F');
 CreaGraficos; _seeds; _bt:=false; eabs:=0.00001; erel:=0.0001; if _rep then nrep:=nrep+1;
 for _i:=1 to 10 do RN[_i]:=RN[_i]+1;
 _zs:=InputBox('Repeat/Go','R/G','G'); rtdlg._WarningDlg('Use Capital letters for variable names'); readln(F,title); _error('= expected ');
 _windowsize:=true;
end;
begin
  if ParamCount > 99 then
    initlike;
end.
