#include "base/http.h"

#include <windows.h>
#include <winhttp.h>

#include "base/handles.h"
#include "base/late_library.h"
#include "base/text.h"

namespace vt {

namespace {

// WinHTTP is loaded by the first exchange, not at start: at rest the program holds neither it nor the
// crypto providers it brings in (about a megabyte).
struct WinHttpCalls {
    template <class F>
    static F Get(const char* name) { return LateFunction<F>(L"winhttp.dll", name); }
    decltype(&WinHttpCloseHandle) CloseHandle = Get<decltype(CloseHandle)>("WinHttpCloseHandle");
    decltype(&WinHttpConnect) Connect = Get<decltype(Connect)>("WinHttpConnect");
    decltype(&WinHttpOpen) Open = Get<decltype(Open)>("WinHttpOpen");
    decltype(&WinHttpOpenRequest) OpenRequest = Get<decltype(OpenRequest)>("WinHttpOpenRequest");
    decltype(&WinHttpQueryDataAvailable) QueryDataAvailable = Get<decltype(QueryDataAvailable)>("WinHttpQueryDataAvailable");
    decltype(&WinHttpQueryHeaders) QueryHeaders = Get<decltype(QueryHeaders)>("WinHttpQueryHeaders");
    decltype(&WinHttpReadData) ReadData = Get<decltype(ReadData)>("WinHttpReadData");
    decltype(&WinHttpReceiveResponse) ReceiveResponse = Get<decltype(ReceiveResponse)>("WinHttpReceiveResponse");
    decltype(&WinHttpSendRequest) SendRequest = Get<decltype(SendRequest)>("WinHttpSendRequest");
    decltype(&WinHttpSetOption) SetOption = Get<decltype(SetOption)>("WinHttpSetOption");
    decltype(&WinHttpSetTimeouts) SetTimeouts = Get<decltype(SetTimeouts)>("WinHttpSetTimeouts");
    decltype(&WinHttpQueryAuthSchemes) QueryAuthSchemes = Get<decltype(QueryAuthSchemes)>("WinHttpQueryAuthSchemes");
    decltype(&WinHttpSetCredentials) SetCredentials = Get<decltype(SetCredentials)>("WinHttpSetCredentials");
    bool Loaded() const {
        return CloseHandle && Connect && Open && OpenRequest && QueryDataAvailable && QueryHeaders && ReadData &&
               ReceiveResponse && SendRequest && SetOption && SetTimeouts && QueryAuthSchemes && SetCredentials;
    }
};

const WinHttpCalls& WinHttp() {
    static const WinHttpCalls calls;
    return calls;
}

inline void CloseInternet(HINTERNET h) noexcept { WinHttp().CloseHandle(h); }
using UniqueInternet = Unique<HINTERNET, CloseInternet>;

std::wstring ErrorText(DWORD code) {
    switch (code) {
        case ERROR_WINHTTP_TIMEOUT: return L"Read timed out.";
        case ERROR_WINHTTP_CANNOT_CONNECT: return L"Could not connect to the server.";
        case ERROR_WINHTTP_CONNECTION_ERROR: return L"Connection closed gracefully.";
        case ERROR_WINHTTP_NAME_NOT_RESOLVED: return L"Host not found.";
        case ERROR_WINHTTP_INVALID_SERVER_RESPONSE: return L"Invalid reply from the server.";
        case ERROR_WINHTTP_OPERATION_CANCELLED: return L"Request cancelled.";
        default: break;
    }
    wchar_t buf[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, GetModuleHandleW(L"winhttp.dll"),
                             code, 0, buf, static_cast<DWORD>(std::size(buf)), nullptr);
    std::wstring text = Trim(std::wstring_view(buf, n));
    return text.empty() ? L"Network error " + std::to_wstring(code) + L"." : text;
}

std::wstring QueryHeaderText(HINTERNET request, DWORD info) {
    DWORD size = 0;
    WinHttp().QueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size, WINHTTP_NO_HEADER_INDEX);
    if (size == 0) return {};
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttp().QueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size, WINHTTP_NO_HEADER_INDEX))
        return {};
    text.resize(size / sizeof(wchar_t));
    return text;
}

}  // namespace

unsigned short ProxyPort(int port) { return port >= 1 && port <= 65535 ? static_cast<unsigned short>(port) : 80; }

void SplitHostPort(std::wstring_view hostAndPort, std::wstring& host, unsigned short& port) {
    std::wstring text = Trim(hostAndPort);
    size_t colon = text.rfind(L':');
    port = 80;
    if (colon == std::wstring::npos) {
        host = text;
        return;
    }
    host = text.substr(0, colon);
    port = ProxyPort(StrToIntDef(text.substr(colon + 1), 80));
}

std::string Base64(std::string_view bytes) {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = (unsigned char)bytes[i] << 16 | (unsigned char)bytes[i + 1] << 8 | (unsigned char)bytes[i + 2];
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (size_t rest = bytes.size() - i) {
        unsigned v = (unsigned char)bytes[i] << 16 | (rest == 2 ? (unsigned char)bytes[i + 1] << 8 : 0);
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

void HttpCancel::Cancel() {
    std::lock_guard<std::mutex> l(lock_);
    cancelled_ = true;
    if (request_ && WinHttp().CloseHandle) WinHttp().CloseHandle(static_cast<HINTERNET>(std::exchange(request_, nullptr)));
}

void HttpCancel::Reset() {
    std::lock_guard<std::mutex> l(lock_);
    cancelled_ = false;
    request_ = nullptr;
}

bool HttpCancel::Attach(void* request) {
    std::lock_guard<std::mutex> l(lock_);
    if (cancelled_) return false;
    request_ = request;
    return true;
}

bool HttpCancel::Detach() {
    std::lock_guard<std::mutex> l(lock_);
    return std::exchange(request_, nullptr) != nullptr;
}

HttpResult PerformHttpGet(const HttpRequest& request, HttpCancel* outside) {
    HttpCancel own;
    HttpCancel& cancel = outside ? *outside : own;
    HttpResult result;
    auto fail = [&](std::wstring text) {
        result.ok = false;
        result.body.clear();
        result.error = std::move(text);
        return result;
    };
    const ULONGLONG start = GetTickCount64();
    auto cancelled = [&] { return cancel.Cancelled(); };
    auto failLast = [&]() {
        const DWORD error = GetLastError();
        if (cancelled()) return fail(ErrorText(ERROR_WINHTTP_OPERATION_CANCELLED));
        return fail(ErrorText(error));
    };

    std::wstring host;
    unsigned short port = 80;
    SplitHostPort(request.host, host, port);
    if (host.empty()) return fail(L"No server host.");
    if (!WinHttp().Loaded()) return fail(L"The system's HTTP library could not be loaded.");

    // A disabled proxy, or one without a host, means a direct connection.
    const ProxySettings& proxy = request.proxy;
    const bool useProxy = proxy.enabled && !Trim(proxy.host).empty();
    std::wstring proxyName = useProxy ? Trim(proxy.host) + L":" + std::to_wstring(ProxyPort(proxy.port)) : L"";
    UniqueInternet session(WinHttp().Open(kHttpUserAgent,
                                       useProxy ? WINHTTP_ACCESS_TYPE_NAMED_PROXY : WINHTTP_ACCESS_TYPE_NO_PROXY,
                                       useProxy ? proxyName.c_str() : WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return failLast();
    const int timeout = static_cast<int>(request.limits.readTimeoutMs);
    WinHttp().SetTimeouts(session.get(), timeout, timeout, timeout, timeout);

    UniqueInternet connection(WinHttp().Connect(session.get(), host.c_str(), port, 0));
    if (!connection) return failLast();
    UniqueInternet req(WinHttp().OpenRequest(connection.get(), L"GET", request.pathAndQuery.c_str(), nullptr,
                                          WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_ESCAPE_DISABLE));
    if (!req) return failLast();
    if (!cancel.Attach(req.get())) return fail(ErrorText(ERROR_WINHTTP_OPERATION_CANCELLED));
    // From here on Cancel may close the request's handle; it is then no longer ours to close.
    struct Owned {
        HttpCancel& cancel;
        UniqueInternet& handle;
        ~Owned() {
            if (!cancel.Detach()) handle.release();
        }
    } owned{cancel, req};
    // Set on the request as well: the session's values do not reach every stage on all systems.
    WinHttp().SetTimeouts(req.get(), timeout, timeout, timeout, timeout);
    DWORD responseTimeout = request.limits.readTimeoutMs;
    WinHttp().SetOption(req.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout, sizeof responseTimeout);

    std::wstring headers =
        L"Accept: text/html, */*\r\nContent-Type: text/html\r\nCache-Control: no-cache\r\nPragma: no-cache\r\n";
    // Basic credentials go with the first request when the user chose Basic; otherwise they answer the
    // proxy's challenge below.
    const bool credentials = !proxy.user.empty() || !proxy.password.empty();
    if (useProxy && proxy.basicAuth && credentials)
        headers += L"Proxy-Authorization: Basic " + Widen(Base64(Narrow(proxy.user + L":" + proxy.password))) + L"\r\n";
    DWORD status = 0;
    auto exchange = [&](const wchar_t* extra, DWORD extraLength) {
        DWORD size = sizeof status;
        return WinHttp().SendRequest(req.get(), extra, extraLength, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
               WinHttp().ReceiveResponse(req.get(), nullptr) &&
               WinHttp().QueryHeaders(req.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                   WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    };
    if (!exchange(headers.c_str(), static_cast<DWORD>(headers.size()))) return failLast();
    // A proxy that asks for credentials gets them once, in the scheme it names first; Basic ones went
    // with the first request already.
    if (status == HTTP_STATUS_PROXY_AUTH_REQ && useProxy && credentials && !proxy.basicAuth) {
        DWORD supported = 0, first = 0, target = 0;
        if (WinHttp().QueryAuthSchemes(req.get(), &supported, &first, &target) && target == WINHTTP_AUTH_TARGET_PROXY &&
            first != 0 &&
            WinHttp().SetCredentials(req.get(), WINHTTP_AUTH_TARGET_PROXY, first, proxy.user.c_str(),
                                  proxy.password.c_str(), nullptr) &&
            !exchange(WINHTTP_NO_ADDITIONAL_HEADERS, 0))
            return failLast();
    }
    result.status = static_cast<int>(status);
    if (status != 200) {
        std::wstring version = QueryHeaderText(req.get(), WINHTTP_QUERY_VERSION);
        std::wstring text = QueryHeaderText(req.get(), WINHTTP_QUERY_STATUS_TEXT);
        return fail(StripControls((version.empty() ? L"HTTP/1.1" : version) + L" " + std::to_wstring(status) +
                                  (text.empty() ? L"" : L" " + text)));
    }

    const std::wstring tooLarge = L"Reply larger than " + std::to_wstring(request.limits.maxBytes) + L" bytes.";
    DWORD length = 0;
    DWORD size = sizeof length;
    if (WinHttp().QueryHeaders(req.get(), WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &length, &size, WINHTTP_NO_HEADER_INDEX) &&
        length > request.limits.maxBytes)
        return fail(tooLarge);

    char buffer[16384];
    for (;;) {
        if (cancelled()) return fail(ErrorText(ERROR_WINHTTP_OPERATION_CANCELLED));
        if (GetTickCount64() - start > request.limits.deadlineMs) return fail(ErrorText(ERROR_WINHTTP_TIMEOUT));
        // Ask what has arrived first, so a read never waits for more than the server has sent.
        DWORD available = 0;
        if (!WinHttp().QueryDataAvailable(req.get(), &available)) return failLast();
        if (available == 0) break;
        DWORD read = 0;
        if (!WinHttp().ReadData(req.get(), buffer, available < sizeof buffer ? available : sizeof buffer, &read))
            return failLast();
        if (read == 0) break;
        if (result.body.size() + read > request.limits.maxBytes) return fail(tooLarge);
        result.body.append(buffer, read);
    }
    result.ok = true;
    return result;
}

}  // namespace vt
