#include "Foundation/Basis/Forum/EventObject.h"

// Out of line, so the dispatch tables live in the library.
CT_EventListener::~CT_EventListener() = default;

CT_EventObject::~CT_EventObject() { v_Exit(); }
