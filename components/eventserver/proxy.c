/* Proxy/stub DLL for the button event interfaces, from the code widl generates.
   widl's proxies catch the exceptions the RPC runtime raises (a server that has gone, a null
   reference) and turn them into an HRESULT, using structured exception handling, which GCC
   lacks. Here a vectored handler does the catching: each proxy call pushes a frame on a
   per-thread list, and an exception raised while one is pushed jumps back into that call. */
#define USE_COMPILER_EXCEPTIONS
#define REGISTER_PROXY_DLL
#define PROXY_DELEGATION
#include <objbase.h>
#include <rpcproxy.h>

/* Exported by rpcrt4; mingw-w64 declares them for C++ only. */
HRESULT STDMETHODCALLTYPE IUnknown_QueryInterface_Proxy(IUnknown* This, REFIID riid,
                                                        void** ppvObject);
ULONG STDMETHODCALLTYPE IUnknown_AddRef_Proxy(IUnknown* This);
ULONG STDMETHODCALLTYPE IUnknown_Release_Proxy(IUnknown* This);

struct rpc_frame
{
    void* jump[5]; /* for __builtin_setjmp */
    struct rpc_frame* prev;
    DWORD code;
#ifdef __i386__
    EXCEPTION_REGISTRATION_RECORD* seh_chain; /* frames pushed below us are gone after the jump */
#endif
};

static DWORD tls_index = TLS_OUT_OF_INDEXES;
static void* veh_handle;

static struct rpc_frame* rpc_top(void)
{
    return (struct rpc_frame*)TlsGetValue(tls_index);
}

static void rpc_push(struct rpc_frame* frame)
{
    frame->prev = rpc_top();
    frame->code = 0;
#ifdef __i386__
    frame->seh_chain = ((NT_TIB*)NtCurrentTeb())->ExceptionList;
#endif
    TlsSetValue(tls_index, frame);
}

static void rpc_pop(struct rpc_frame* frame)
{
    TlsSetValue(tls_index, frame->prev);
#ifdef __i386__
    ((NT_TIB*)NtCurrentTeb())->ExceptionList = frame->seh_chain;
#endif
}

/* Error codes only: debugger events and informational codes (OutputDebugString raises one) go on.
 */
static LONG CALLBACK rpc_catch(EXCEPTION_POINTERS* pointers)
{
    struct rpc_frame* frame = tls_index == TLS_OUT_OF_INDEXES ? NULL : rpc_top();
    DWORD code = pointers->ExceptionRecord->ExceptionCode;
    if (!frame || (code >= 0x10000 && code < 0x80000000) || code == STATUS_BREAKPOINT ||
        code == STATUS_SINGLE_STEP)
        return EXCEPTION_CONTINUE_SEARCH;
    frame->code = code;
    __builtin_longjmp(frame->jump, 1);
}

#undef RpcTryExcept
#undef RpcExcept
#undef RpcEndExcept
#undef RpcTryFinally
#undef RpcFinally
#undef RpcEndFinally
#undef RpcExceptionCode
#undef RpcAbnormalTermination
#define RpcTryExcept                                                                               \
    {                                                                                              \
        struct rpc_frame rpc_frame;                                                                \
        rpc_push(&rpc_frame);                                                                      \
        if (!__builtin_setjmp(rpc_frame.jump)) {
#define RpcExcept(expr)                                                                            \
    rpc_pop(&rpc_frame);                                                                           \
    }                                                                                              \
    else if (rpc_pop(&rpc_frame), 1)                                                               \
    {
#define RpcEndExcept                                                                               \
    }                                                                                              \
    }
#define RpcTryFinally {
#define RpcFinally                                                                                 \
    }                                                                                              \
    {
#define RpcEndFinally }
#define RpcExceptionCode() (rpc_frame.code)
#define RpcAbnormalTermination() 0

/* The DllMain the proxy code defines is called from ours. */
#define DllMain ProxyDllMain
#include "ButtonEventServer_p.c"
#include "dlldata.c"
#include "ButtonEventServer_i.c"
#undef DllMain

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        tls_index = TlsAlloc();
        veh_handle = AddVectoredExceptionHandler(1, rpc_catch);
    } else if (reason == DLL_PROCESS_DETACH) {
        if (veh_handle) RemoveVectoredExceptionHandler(veh_handle);
        if (tls_index != TLS_OUT_OF_INDEXES) TlsFree(tls_index);
    }
    return ProxyDllMain(instance, reason, reserved);
}
