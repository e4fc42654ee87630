" TALVEN simulation models
autocmd BufNewFile,BufRead *.tlv setfiletype talven
