// Every routine of the core, for tests that drive any pass directly. The
// core's own files include only the headers they use.
#pragma once
#include "ground/compiler.h"
#include "ground/literals.h"
#include "ground/text.h"
#include "source/source.h"
#include "symbols/names.h"
#include "symbols/keywords.h"
#include "model/model.h"
#include "decl/decl.h"
#include "expr/expr.h"
#include "stmt/stmt.h"
#include "stmt/flow.h"
#include "continuous/continuous.h"
#include "codegen/codegen.h"
#include "codegen/assembly.h"
