" Vim syntax file
" Language: TALVEN simulation models (.tlv)
" Install: copy syntax/ and ftdetect/ into ~/.vim (or a package directory).

if exists("b:current_syntax")
  finish
endif

syn case ignore
syn sync fromstart
setlocal iskeyword=@,48-57,_


syn match talvenPassThrough /^#.*$/ contained
syn match talvenSection /^\s*\(network\|init\|decl\|module\)\>/ contained
syn match talvenSection /^\s*end\./ contained
" END is a keyword everywhere but in the closing END., so it is a match here:
" a keyword would win over the END. match.
syn match talvenControl /\<end\>\.\@!/ contained
syn match talvenNodeHeader /^\s*\h[[:alnum:]_$!?"|~}]*\ze\s*\(([a-z])\|\[\s*1\s*\.\.\)\=[^:=']*::/ nextgroup=talvenNodeRest contained
syn match talvenNodeRest /.\{-}::/ contained contains=talvenNodeType,talvenComment,talvenNumber
syn match talvenNodeType /(\s*\a\s*)/ contained
syn match talvenList /\<[ie]l_[[:alnum:]_$!?"|~}]\+/ contained
syn match talvenNodeVar /\<\(dt\|u\|f\|m\)_[[:alnum:]_$!?"|~}]\+/ contained
syn match talvenDerivative /\h\w*'\('\)\@!/ contained
syn match talvenNumber /\<\d\+\(\.\d\+\)\=\(e[-+]\=\d\+\)\=/ contained
syn region talvenString start=/'/ skip=/''/ end=/'/ oneline contained
syn region talvenComment start=/{/ end=/}/ contained
syn region talvenComment start=/(\*/ end=/\*)/ contained

syn keyword talvenInstruction ACT AGRE ASSEMBLE COUNT CREATE ENDSIMUL EXAM contained
syn keyword talvenInstruction EXTR FIFO BEGINSCAN __GO __GOALL LIFO MOVE ORDER contained
syn keyword talvenInstruction POINT PREEMPTION SCAN SELECT SENDTO SENDTOF contained
syn keyword talvenInstruction SYNCHRONIZE SORT COPYMESS __STOP __STOPALL STAT contained
syn keyword talvenInstruction FREE NOTFREE REL DEACT TAB CLRSTAT STOPSCAN contained
syn keyword talvenInstruction UPDATE TRANS REPLIC EXTFEL PUTFEL METHOD contained
syn keyword talvenInstruction DISASSEMBLE GRAPH DESTROY PAUSE TRACE UNTRACE contained
syn keyword talvenInstruction ASSI INTI OUTG RETARD MENU BLOCK DEBLOCK DISFEL contained
syn keyword talvenInstruction LOAD UNLOAD DBUPDATE REPORT ENDREPORT EXPER contained
syn keyword talvenDistribution BIN ERLG EXPO GAUSS NORM RANDOM TRIA UNIF UNIFI contained
syn keyword talvenDistribution BER BETA GAMMA POISSON LOGNORM WEIBULL contained
syn keyword talvenListFunction LL MAXL MINL MEDL DMEDL ENTR TFREE MSTL DMSTL contained
syn keyword talvenListFunction PFIRST PLAST contained
syn keyword talvenFunction ORD TRUNC ABS ARCTAN COS EXP INT LN ROUND SIN SQRT contained
syn keyword talvenFunction READKEY MAX MIN MODUL RND KEYPRESSED NOSOUND OFS contained
syn keyword talvenFunction SEG MINI MAXI EOF VOIDFEL WHEREX WHEREY LENGTH contained
syn keyword talvenFunction FILESIZE COPY APPEND ASSIGN CLOSE DELAY FILEPOS contained
syn keyword talvenFunction OPEN RESET REWRITE SEEK GOTOXY GETTIME GETDATE contained
syn keyword talvenFunction SOUND NEW DISPOSE BLOCKWRITE BLOCKREAD RELEASE contained
syn keyword talvenFunction CLRSCR STR VAL TRUNCATE CLOSEGRAPH OUTTEXTXY UPCASE contained
syn keyword talvenFunction WRITELN WRITE READLN READ contained
syn keyword talvenControl BEGIN IF THEN ELSE WHILE DO FOR TO DOWNTO REPEAT contained
syn keyword talvenControl UNTIL CASE OF GOTO DONODE DOEVENT WITH contained
syn keyword talvenOperator OR AND NOT MOD DIV XOR IN contained
syn keyword talvenClass TYPE VAR CONST GFUNCTIONS MESSAGES NODES TABLES contained
syn keyword talvenClass STATISTICS PROCEDURES FACTORS RESPONSES DBTABLES USES contained
syn keyword talvenClass PROCEDURE FUNCTION FORWARD LABEL contained
syn keyword talvenType ARRAY STRING RECORD SET FILE REAL INTEGER BOOLEAN CHAR contained
syn keyword talvenType GPOINTER BYTE CONT TEXT WORD LONGINT POINTER FREQ contained
syn keyword talvenType DOUBLE STR80 RET POLYG SPLINE STAIR DISC contained
syn keyword talvenPredefined TIME TSIM NIL MAXREAL PI MAXINTEGER MAXLONGINT contained
syn keyword talvenPredefined MAXWORD NT STAY IT GT ET XT USE O_GT O_ET O_XT contained
syn keyword talvenPredefined O_USE EABS EREL NREP NLIST NUMBER O_NUMBER ICOPY contained
syn keyword talvenPredefined IEV INO SYNC EXTREL SENT RN TITLE NODE O_NODE NOR contained
syn keyword talvenPredefined OUTF OUTPUT EVP PMESS O_PMESS REMA O_REMA PRI contained
syn keyword talvenPredefined O_PRI FIRST LAST TRUE FALSE contained

" Everything before NETWORK is free text; the first line is the title and is
" never read as code, even when it says NETWORK.  Defined last so that it
" wins over every other item on the first line.
syn region talvenPreamble start=/\%1l/ end=/\%>1l^\ze\s*network/ contains=NONE
" The model proper: every other item lives only inside it, so that no
" keyword lights up in the free text above.
syn region talvenModel start=/\%>1l^\ze\s*network/ end=/\%$/ contains=ALLBUT,talvenPreamble,talvenNodeRest,talvenNodeType

hi def link talvenPreamble     Comment
hi def link talvenComment      Comment
hi def link talvenPassThrough  PreProc
hi def link talvenSection      Statement
hi def link talvenNodeHeader   Function
hi def link talvenNodeType     Type
hi def link talvenNodeRest     Identifier
hi def link talvenList         Identifier
hi def link talvenNodeVar      Identifier
hi def link talvenDerivative   Identifier
hi def link talvenNumber       Number
hi def link talvenString       String
hi def link talvenInstruction  Keyword
hi def link talvenDistribution Function
hi def link talvenListFunction Function
hi def link talvenFunction     Function
hi def link talvenControl      Conditional
hi def link talvenOperator     Operator
hi def link talvenClass        StorageClass
hi def link talvenType         Type
hi def link talvenPredefined   Constant

let b:current_syntax = "talven"
