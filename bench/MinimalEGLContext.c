/*
 * The least a program does to ask one GPU what its OpenGL is: one desktop-GL
 * context on an EGL device (device platform, no window system), current
 * without a surface where the display allows it, else on a 1x1 pbuffer.
 * Plain EGL and GL calls only, so it serves as an independent reading of the
 * device, both as the benchmark's baseline and for the end-to-end tests.
 *
 * Usage: minimal_egl_context [--strings] [--device=N]
 *   (none)      prints GL_RENDERER=<text>
 *   --strings   prints the GL strings and a few limits as key=value lines
 *   --device=N  the N-th device EGL lists (default 0, the first)
 * Exit code 0 on success, 1 with the failed step on standard error.
 */
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifndef GL_MAX_RECTANGLE_TEXTURE_SIZE
#define GL_MAX_RECTANGLE_TEXTURE_SIZE 0x84F8
#endif

#define MAX_DEVICES 32

static int Fail(const char* step)
{
    fprintf(stderr, "minimal_egl_context: %s failed (EGL error 0x%04x)\n", step, (unsigned)eglGetError());
    return 1;
}

/* Whole-word search in a space-separated extension list. */
static int HasWord(const char* list, const char* word)
{
    const size_t length = strlen(word);
    const char* at = list;
    while (list != NULL && (at = strstr(at, word)) != NULL) {
        const int starts = at == list || at[-1] == ' ';
        const int ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) {
            return 1;
        }
        at += length;
    }
    return 0;
}

static const char* Text(const GLubyte* text)
{
    return text != NULL ? (const char*)text : "";
}

static void PrintStrings(const char* deviceExtensions)
{
    GLint rectangleSize = 0;
    GLint textureSize = 0;
    glGetIntegerv(GL_MAX_RECTANGLE_TEXTURE_SIZE, &rectangleSize);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &textureSize);
    const char* extensions = Text(glGetString(GL_EXTENSIONS));
    printf("EGL_MESA_device_software=%d\n", HasWord(deviceExtensions, "EGL_MESA_device_software"));
    printf("GL_VENDOR=%s\n", Text(glGetString(GL_VENDOR)));
    printf("GL_RENDERER=%s\n", Text(glGetString(GL_RENDERER)));
    printf("GL_VERSION=%s\n", Text(glGetString(GL_VERSION)));
    printf("GL_SHADING_LANGUAGE_VERSION=%s\n", Text(glGetString(GL_SHADING_LANGUAGE_VERSION)));
    printf("GL_MAX_TEXTURE_SIZE=%d\n", (int)textureSize);
    printf("GL_MAX_RECTANGLE_TEXTURE_SIZE=%d\n", (int)rectangleSize);
    printf("GL_ARB_texture_non_power_of_two=%d\n", HasWord(extensions, "GL_ARB_texture_non_power_of_two"));
}

int main(int argc, char** argv)
{
    int strings = 0;
    int wanted = 0;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--strings") == 0) {
            strings = 1;
        } else if (strncmp(argv[i], "--device=", 9) == 0) {
            wanted = atoi(argv[i] + 9);
        } else {
            fprintf(stderr, "usage: %s [--strings] [--device=N]\n", argv[0]);
            return 1;
        }
    }

    PFNEGLQUERYDEVICESEXTPROC queryDevices = (PFNEGLQUERYDEVICESEXTPROC)eglGetProcAddress("eglQueryDevicesEXT");
    PFNEGLQUERYDEVICESTRINGEXTPROC queryDeviceString =
        (PFNEGLQUERYDEVICESTRINGEXTPROC)eglGetProcAddress("eglQueryDeviceStringEXT");
    PFNEGLGETPLATFORMDISPLAYEXTPROC platformDisplay =
        (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    if (queryDevices == NULL || queryDeviceString == NULL || platformDisplay == NULL) {
        return Fail("eglGetProcAddress (EGL_EXT_device_enumeration, EGL_EXT_platform_device)");
    }

    EGLDeviceEXT devices[MAX_DEVICES];
    EGLint count = 0;
    if (!queryDevices(MAX_DEVICES, devices, &count)) {
        return Fail("eglQueryDevicesEXT");
    }
    if (wanted < 0 || wanted >= count) {
        fprintf(stderr, "minimal_egl_context: EGL lists %d device(s), no device %d\n", (int)count, wanted);
        return 1;
    }
    const char* deviceExtensions = queryDeviceString(devices[wanted], EGL_EXTENSIONS);

    EGLDisplay display = platformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[wanted], NULL);
    if (display == EGL_NO_DISPLAY) {
        return Fail("eglGetPlatformDisplayEXT");
    }
    if (!eglInitialize(display, NULL, NULL)) {
        return Fail("eglInitialize");
    }
    int status = 1;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
    const EGLint configAttributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    const EGLint pbufferAttributes[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
    EGLConfig config;
    EGLint configs = 0;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        Fail("eglBindAPI(EGL_OPENGL_API)");
    } else if (!eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs < 1) {
        Fail("eglChooseConfig");
    } else if ((context = eglCreateContext(display, config, EGL_NO_CONTEXT, NULL)) == EGL_NO_CONTEXT) {
        Fail("eglCreateContext");
    } else if (!HasWord(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context")
               && (surface = eglCreatePbufferSurface(display, config, pbufferAttributes)) == EGL_NO_SURFACE) {
        Fail("eglCreatePbufferSurface");
    } else if (!eglMakeCurrent(display, surface, surface, context)) {
        Fail("eglMakeCurrent");
    } else {
        if (strings) {
            PrintStrings(deviceExtensions);
        } else {
            printf("GL_RENDERER=%s\n", Text(glGetString(GL_RENDERER)));
        }
        status = glGetError() == GL_NO_ERROR ? 0 : 1;
        if (status != 0) {
            fprintf(stderr, "minimal_egl_context: a GL query raised an error\n");
        }
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    if (surface != EGL_NO_SURFACE) {
        eglDestroySurface(display, surface);
    }
    if (context != EGL_NO_CONTEXT) {
        eglDestroyContext(display, context);
    }
    eglTerminate(display);
    eglReleaseThread();
    return status;
}
