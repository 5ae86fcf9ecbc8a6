// Late-bound COM automation of AutoCAD: each member is looked up by name
// (GetIDsOfNames) and called through IDispatch::Invoke with VARIANT
// arguments; points travel as SAFEARRAYs of three doubles.
#ifdef _WIN32

#include "cadlink/cad_automation_com.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <vector>

namespace coordconv {
namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string Utf8(const wchar_t* wide, int length) {
    if (wide == nullptr || length == 0) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, length, text.data(), size, nullptr, nullptr);
    return text;
}

std::string Utf8(BSTR text) { return text ? Utf8(text, static_cast<int>(SysStringLen(text))) : std::string(); }

// A VARIANT that clears itself.
class Variant {
public:
    Variant() { VariantInit(&v); }
    ~Variant() { VariantClear(&v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept {
        v = other.v;
        VariantInit(&other.v);
    }
    VARIANT v;
};

Variant Omitted() {
    Variant a;
    a.v.vt = VT_ERROR;
    a.v.scode = DISP_E_PARAMNOTFOUND;
    return a;
}
Variant Bool(bool value) {
    Variant a;
    a.v.vt = VT_BOOL;
    a.v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return a;
}
Variant Int(long value) {
    Variant a;
    a.v.vt = VT_I4;
    a.v.lVal = value;
    return a;
}
Variant Real(double value) {
    Variant a;
    a.v.vt = VT_R8;
    a.v.dblVal = value;
    return a;
}
Variant Text(const std::string& utf8) {
    Variant a;
    a.v.vt = VT_BSTR;
    const std::wstring wide = Wide(utf8);
    a.v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return a;
}
Variant Reals(const std::vector<double>& values) {
    Variant a;
    SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(values.size()));
    if (array == nullptr) throw CadError("Out of memory");
    for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
        double value = values[static_cast<std::size_t>(i)];
        SafeArrayPutElement(array, &i, &value);
    }
    a.v.vt = VT_ARRAY | VT_R8;
    a.v.parray = array;
    return a;
}
Variant Point(const CadPoint& p) { return Reals({p.x, p.y, p.z}); }
Variant Objects(const std::vector<IDispatch*>& objects) {
    Variant a;
    SAFEARRAY* array = SafeArrayCreateVector(VT_DISPATCH, 0, static_cast<ULONG>(objects.size()));
    if (array == nullptr) throw CadError("Out of memory");
    for (LONG i = 0; i < static_cast<LONG>(objects.size()); ++i)
        SafeArrayPutElement(array, &i, objects[static_cast<std::size_t>(i)]);  // adds a reference
    a.v.vt = VT_ARRAY | VT_DISPATCH;
    a.v.parray = array;
    return a;
}

// The text of a failed call: AutoCAD's own description when it gave one,
// else the system's text for the error code.
std::string ErrorText(HRESULT result, EXCEPINFO& exception) {
    std::string text;
    if (result == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
        text = Utf8(exception.bstrDescription);
        if (text.empty() && exception.scode != 0) result = exception.scode;
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (!text.empty()) return text;
    wchar_t* message = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    if (length > 0) {
        text = Utf8(message, static_cast<int>(length));
        LocalFree(message);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    }
    if (text.empty()) {
        char code[32];
        std::snprintf(code, sizeof code, "OLE error %08lX", static_cast<unsigned long>(result));
        text = code;
    }
    return text;
}

double ToDouble(VARIANT& value) {
    Variant converted;
    if (FAILED(VariantChangeType(&converted.v, &value, 0, VT_R8)))
        throw CadError("Could not convert variant into type (Double)");
    return converted.v.dblVal;
}

class AutoCadSession : public CadAutomation {
public:
    AutoCadSession(IDispatch* application, bool uninitialize) : uninitialize_(uninitialize) {
        objects_.push_back(application);
    }
    ~AutoCadSession() override {
        for (auto it = objects_.rbegin(); it != objects_.rend(); ++it)
            if (*it) (*it)->Release();
        if (uninitialize_) CoUninitialize();
    }
    AutoCadSession(const AutoCadSession&) = delete;
    AutoCadSession& operator=(const AutoCadSession&) = delete;

    void SetVisible(bool visible) override {
        std::vector<Variant> args;
        args.push_back(Bool(visible));
        Invoke(objects_[0], L"Visible", DISPATCH_PROPERTYPUT, args);
    }
    CadObject ActiveDocument() override { return Get(objects_[0], L"ActiveDocument"); }
    CadObject ModelSpace(CadObject document) override { return Get(Object(document), L"ModelSpace"); }
    CadObject Utility(CadObject document) override { return Get(Object(document), L"Utility"); }
    CadValue GetVariable(CadObject document, const std::string& name) override {
        std::vector<Variant> args;
        args.push_back(Text(name));
        Variant result = Invoke(Object(document), L"GetVariable", DISPATCH_METHOD, args);
        switch (result.v.vt) {
            case VT_BSTR:
                return Utf8(result.v.bstrVal);
            case VT_I2:
                return static_cast<std::int32_t>(result.v.iVal);
            case VT_I4:
                return static_cast<std::int32_t>(result.v.lVal);
            default:
                return ToDouble(result.v);
        }
    }
    std::string GetString(CadObject utility, bool allow_blanks, const std::string& prompt) override {
        std::vector<Variant> args;
        args.push_back(Int(allow_blanks ? 1 : 0));
        args.push_back(Text(prompt));
        Variant result = Invoke(Object(utility), L"GetString", DISPATCH_METHOD, args);
        if (result.v.vt != VT_BSTR) {
            Variant text;
            if (FAILED(VariantChangeType(&text.v, &result.v, 0, VT_BSTR))) return std::string();
            return Utf8(text.v.bstrVal);
        }
        return Utf8(result.v.bstrVal);
    }
    CadPoint GetPoint(CadObject utility, const std::string& prompt) override {
        std::vector<Variant> args;
        args.push_back(Omitted());
        args.push_back(Text(prompt));
        return PointOf(Invoke(Object(utility), L"GetPoint", DISPATCH_METHOD, args));
    }
    CadPoint GetPoint(CadObject utility, const CadPoint& base, const std::string& prompt) override {
        std::vector<Variant> args;
        args.push_back(Point(base));
        args.push_back(Text(prompt));
        return PointOf(Invoke(Object(utility), L"GetPoint", DISPATCH_METHOD, args));
    }
    CadObject AddHatch(CadObject model_space, int pattern_type, const std::string& pattern_name,
                       bool associative) override {
        std::vector<Variant> args;
        args.push_back(Int(pattern_type));
        args.push_back(Text(pattern_name));
        args.push_back(Bool(associative));
        return Keep(Invoke(Object(model_space), L"AddHatch", DISPATCH_METHOD, args));
    }
    CadObject AddCircle(CadObject model_space, const CadPoint& centre, double radius) override {
        std::vector<Variant> args;
        args.push_back(Point(centre));
        args.push_back(Real(radius));
        return Keep(Invoke(Object(model_space), L"AddCircle", DISPATCH_METHOD, args));
    }
    void AppendOuterLoop(CadObject hatch, const std::vector<CadObject>& loop) override {
        std::vector<IDispatch*> members;
        for (const auto& object : loop) members.push_back(Object(object));
        std::vector<Variant> args;
        args.push_back(Objects(members));
        Invoke(Object(hatch), L"AppendOuterLoop", DISPATCH_METHOD, args);
    }
    CadObject AddLightWeightPolyLine(CadObject model_space, const std::vector<double>& vertices) override {
        std::vector<Variant> args;
        args.push_back(Reals(vertices));
        return Keep(Invoke(Object(model_space), L"AddLightWeightPolyline", DISPATCH_METHOD, args));
    }
    CadObject AddLine(CadObject model_space, const CadPoint& start, const CadPoint& end) override {
        std::vector<Variant> args;
        args.push_back(Point(start));
        args.push_back(Point(end));
        return Keep(Invoke(Object(model_space), L"AddLine", DISPATCH_METHOD, args));
    }
    void Update(CadObject entity) override {
        std::vector<Variant> args;
        Invoke(Object(entity), L"Update", DISPATCH_METHOD, args);
    }
    CadObject AddText(CadObject model_space, const std::string& text, const CadPoint& insertion,
                      double height) override {
        std::vector<Variant> args;
        args.push_back(Text(text));
        args.push_back(Point(insertion));
        args.push_back(Real(height));
        return Keep(Invoke(Object(model_space), L"AddText", DISPATCH_METHOD, args));
    }

private:
    IDispatch* Object(CadObject object) const {
        if (object.id == 0 || object.id > objects_.size() || objects_[object.id - 1] == nullptr)
            throw CadError("Invalid object handle");
        return objects_[object.id - 1];
    }

    // Keeps the object a call returned; its handle is its place in the list.
    CadObject Keep(Variant result) {
        if (result.v.vt != VT_DISPATCH || result.v.pdispVal == nullptr) throw CadError("No object returned");
        IDispatch* object = result.v.pdispVal;
        object->AddRef();
        objects_.push_back(object);
        return {static_cast<std::uint32_t>(objects_.size())};
    }

    CadObject Get(IDispatch* object, const wchar_t* name) {
        std::vector<Variant> none;
        return Keep(Invoke(object, name, DISPATCH_PROPERTYGET, none));
    }

    static CadPoint PointOf(Variant result) {
        if ((result.v.vt & VT_ARRAY) == 0 || result.v.parray == nullptr) throw CadError("No point returned");
        SAFEARRAY* array = result.v.parray;
        LONG lower = 0, upper = -1;
        SafeArrayGetLBound(array, 1, &lower);
        SafeArrayGetUBound(array, 1, &upper);
        if (upper - lower + 1 < 3) throw CadError("No point returned");
        double xyz[3] = {0, 0, 0};
        const VARTYPE element = static_cast<VARTYPE>(result.v.vt & ~VT_ARRAY);
        for (LONG i = 0; i < 3; ++i) {
            LONG index = lower + i;
            if (element == VT_R8) {
                SafeArrayGetElement(array, &index, &xyz[i]);
            } else {
                Variant item;
                SafeArrayGetElement(array, &index, &item.v);
                xyz[i] = ToDouble(item.v);
            }
        }
        return {xyz[0], xyz[1], xyz[2]};
    }

    // Calls member `name` of `object` with `args` given in call order.
    static Variant Invoke(IDispatch* object, const wchar_t* name, WORD flags, std::vector<Variant>& args) {
        DISPID member = 0;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member);
        EXCEPINFO exception{};
        if (FAILED(hr)) throw CadError(ErrorText(hr, exception));
        std::vector<VARIANT> reversed;  // IDispatch takes the arguments last first
        for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->v);
        DISPPARAMS parameters{};
        parameters.cArgs = static_cast<UINT>(reversed.size());
        parameters.rgvarg = reversed.empty() ? nullptr : reversed.data();
        DISPID put = DISPID_PROPERTYPUT;
        if (flags == DISPATCH_PROPERTYPUT) {
            parameters.cNamedArgs = 1;
            parameters.rgdispidNamedArgs = &put;
        }
        Variant result;
        UINT bad_argument = 0;
        hr = object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT,
                            flags == DISPATCH_METHOD ? static_cast<WORD>(DISPATCH_METHOD | DISPATCH_PROPERTYGET) : flags,
                            &parameters, flags == DISPATCH_PROPERTYPUT ? nullptr : &result.v, &exception,
                            &bad_argument);
        if (FAILED(hr)) throw CadError(ErrorText(hr, exception));
        return result;
    }

    std::vector<IDispatch*> objects_;  // [0] is the application
    bool uninitialize_;
};

}  // namespace

std::unique_ptr<CadAutomation> AttachToAutoCad() {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool uninitialize = SUCCEEDED(init);
    auto fail = [&]() -> std::unique_ptr<CadAutomation> {
        if (uninitialize) CoUninitialize();
        return nullptr;
    };
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"AutoCAD.Application", &clsid))) return fail();
    IUnknown* unknown = nullptr;
    if (FAILED(GetActiveObject(clsid, nullptr, &unknown)) || unknown == nullptr) return fail();
    IDispatch* application = nullptr;
    const HRESULT hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&application));
    unknown->Release();
    if (FAILED(hr) || application == nullptr) return fail();
    return std::make_unique<AutoCadSession>(application, uninitialize);
}

}  // namespace coordconv

#endif  // _WIN32
