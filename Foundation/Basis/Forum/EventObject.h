// CT_EventListener: the base of listener interfaces (nothing but a virtual
// destructor). CT_EventObject: an event record naming its source, which it
// does not own.
#pragma once

#include "Foundation/Platform/Export.h"

class CT_EventSource;

class BASIS_API CT_EventListener {
public:
    CT_EventListener() = default;
    CT_EventListener(CT_EventListener const&) = default;
    CT_EventListener& operator=(CT_EventListener const&) = default;
    virtual ~CT_EventListener();
};

class BASIS_API CT_EventObject {
public:
    explicit CT_EventObject(CT_EventSource* source) { v_Init(source); }
    CT_EventObject(CT_EventObject const& other) { v_Init(other.pco_Source); }
    CT_EventObject& operator=(CT_EventObject const& other) {
        v_Set(other.pco_Source);
        return *this;
    }
    virtual ~CT_EventObject();

    void v_Set(CT_EventSource* source) {
        v_Exit();
        v_Init(source);
    }
    CT_EventSource* pco_GetSource() const { return pco_Source; }

private:
    void v_Init(CT_EventSource* source) { pco_Source = source; }
    void v_Exit() {}  // the source is not owned: nothing to release

    CT_EventSource* pco_Source;
};
