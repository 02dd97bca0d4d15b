#pragma once

#include "sysinfo/GPUIdentity.h"

#include "zeb/ogl/Extension.h"
#include "zeb/ogl/OpenGL.h"

#include <boost/shared_ptr.hpp>

#include <string>
#include <vector>

// Everything the report knows about one display adapter. The order of the
// operations is part of the design and is kept in every class below this one.
class GPU {
public:
    virtual ~GPU() {}

    virtual std::string OGLVersion() = 0;
    virtual unsigned int MemoryMB() = 0;
    virtual GLint RectTextureSize() = 0;
    virtual std::string Renderer() = 0;
    virtual unsigned int RendererID() = 0;
    virtual std::string Vendor() = 0;
    virtual unsigned int VendorID() = 0;
    virtual bool HasNPOTSupport() = 0;
    virtual std::string DriverVersion() = 0;
    virtual std::string Driver() = 0;
    virtual std::string DriverDate() = 0;
    virtual std::string Caption() = 0;
    virtual bool DoCompileProgramGLSL() = 0;
    virtual bool DoTestFrameBuffer() = 0;
    virtual std::string OCLVersion() = 0;
    virtual std::string CUDAVersion() = 0;
    virtual const GLubyte* GetString(GLenum name) = 0;
    virtual void GetIntegerv(GLenum pname, GLint* params) = 0;
    virtual void GetProgramivARB(GLenum target, GLenum pname, GLint* params) = 0;
    virtual bool IsExtensionSupported(ZEB::OGL::teExtension extension) = 0;

    // What ties other APIs' view of this GPU to it; nothing by default.
    virtual GPUIdentity Identity() { return GPUIdentity(); }
    // The kernel driver that runs this GPU and that driver's own version, for
    // the JSON document only; empty where the system names none.
    virtual std::string KernelDriver() { return std::string(); }
    virtual std::string KernelDriverVersion() { return std::string(); }
};

typedef std::vector<boost::shared_ptr<GPU> > GPUList;
