// Every public header of the library: callers and tests include this alone.
#pragma once

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/Frame/BasisDLLMain.h"
#include "Foundation/Basis/Frame/Counter.h"
#include "Foundation/Basis/Frame/Init.h"
#include "Foundation/Basis/Frame/ReferenceCount.h"
#include "Foundation/Basis/Frame/StartUp.h"
#include "Foundation/Basis/Frame/Type.h"
#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/String.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/System/String/StringConvert.h"
#include "Foundation/System/String/UTF.h"
