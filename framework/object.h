// Root classes with run-time class identification by name, so a skinned
// control can answer "what are you" the way the class chain says.
#pragma once

#include <cstring>

struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;

    bool IsDerivedFrom(const CRuntimeClass* base) const {
        for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass) {
            if (c == base) {
                return true;
            }
        }
        return false;
    }
};

#define RUNTIME_CLASS(name) (&name::class##name)

// Put in the class body; leaves the access at public.
#define DECLARE_DYNAMIC(name)                                                                      \
public:                                                                                            \
    static const CRuntimeClass class##name;                                                        \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(name, base)                                                              \
    const CRuntimeClass name::class##name = {#name, RUNTIME_CLASS(base)};                          \
    const CRuntimeClass* name::GetRuntimeClass() const {                                           \
        return &name::class##name;                                                                 \
    }

class CObject {
public:
    static inline const CRuntimeClass classCObject{"CObject", nullptr};

    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
    bool IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject(CObject&&) = default;
    CObject& operator=(const CObject&) = default;
    CObject& operator=(CObject&&) = default;
};

// Base of everything that handles commands and messages.
class CCmdTarget : public CObject {
public:
    static inline const CRuntimeClass classCCmdTarget{"CCmdTarget", &CObject::classCObject};
    const CRuntimeClass* GetRuntimeClass() const override { return &classCCmdTarget; }

protected:
    CCmdTarget() = default;
};
