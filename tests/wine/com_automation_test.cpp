// The COM automation of AutoCAD, executed: an in-process stand-in for
// AutoCAD's automation server, registered under the ProgID
// "AutoCAD.Application" and in the running-object table, answers the members
// the program calls through IDispatch, checks each argument against the types
// AutoCAD's automation takes (points as SAFEARRAYs of three doubles, vertex
// lists as SAFEARRAYs of doubles, loops as SAFEARRAYs of objects) and records
// every call.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/gauss_kruger.h"
#include "core/number_text.h"
#include "tools/cad/annotation.h"
#include "tools/cad/sheet_point_pick.h"

#include "cadlink/cad_automation_com.h"

namespace coordconv {
namespace {

// {5A3E0F8C-2B7D-4C11-9E4A-7D0C3B1F6A21}: the stand-in's class.
const CLSID kStandInClass = {0x5a3e0f8c, 0x2b7d, 0x4c11, {0x9e, 0x4a, 0x7d, 0x0c, 0x3b, 0x1f, 0x6a, 0x21}};
const wchar_t kStandInClassText[] = L"{5A3E0F8C-2B7D-4C11-9E4A-7D0C3B1F6A21}";

std::string Utf8(BSTR text) {
    if (text == nullptr) return std::string();
    const int length = static_cast<int>(SysStringLen(text));
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

BSTR Bstr(const std::string& utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text, length);
    return text;
}

struct StandInScript {
    std::deque<std::vector<double>> picks;  // answers to GetPoint; none left is Esc
    std::deque<std::string> answers;        // answers to GetString
    std::string failing_member;             // answers with kFailureText
    double lt_scale = 2.5;                  // the drawing's LTSCALE
    std::vector<std::string> calls;         // every call, as "Member args..."
};
constexpr const char* kCancelText = "*取消*";
constexpr const char* kFailureText = "图形已锁定";

class BadArgument {};

// One automation object of the stand-in; `kind` says which members it has.
class StandInObject final : public IDispatch {
public:
    enum class Kind { Application, Document, ModelSpace, Utility, Entity };
    StandInObject(Kind kind, StandInScript& script, int id) : kind_(kind), script_(script), id_(id) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        const auto& members = Members();
        for (UINT n = 0; n < count; ++n) {
            ids[n] = DISPID_UNKNOWN;
            for (std::size_t i = 0; i < members.size(); ++i)
                if (_wcsicmp(names[n], members[i]) == 0) ids[n] = static_cast<DISPID>(i + 1);
            if (ids[n] == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT*) override {
        const auto& members = Members();
        if (member < 1 || static_cast<std::size_t>(member) > members.size()) return DISP_E_MEMBERNOTFOUND;
        char name[64];
        std::snprintf(name, sizeof name, "%ls", members[static_cast<std::size_t>(member) - 1]);
        // Arguments in call order (IDispatch passes them last first).
        std::vector<VARIANT*> args;
        for (UINT i = parameters->cArgs; i > 0; --i) args.push_back(&parameters->rgvarg[i - 1]);
        if (result) VariantInit(result);
        try {
            return Call(name, flags, args, result, exception);
        } catch (const BadArgument&) {
            script_.calls.push_back(std::string(name) + " with a wrongly typed argument");
            return DISP_E_TYPEMISMATCH;
        }
    }

private:
    const std::vector<const wchar_t*>& Members() const {
        static const std::vector<const wchar_t*> application = {L"Visible", L"ActiveDocument"};
        static const std::vector<const wchar_t*> document = {L"ModelSpace", L"Utility", L"GetVariable"};
        static const std::vector<const wchar_t*> model_space = {L"AddHatch", L"AddCircle", L"AddLightWeightPolyline",
                                                                L"AddLine", L"AddText"};
        static const std::vector<const wchar_t*> utility = {L"GetString", L"GetPoint"};
        static const std::vector<const wchar_t*> entity = {L"AppendOuterLoop", L"Update"};
        switch (kind_) {
            case Kind::Application: return application;
            case Kind::Document: return document;
            case Kind::ModelSpace: return model_space;
            case Kind::Utility: return utility;
            default: return entity;
        }
    }

    static std::string Number(double value) {
        char text[40];
        std::snprintf(text, sizeof text, " %.17g", value);
        return text;
    }
    static const VARIANT& Plain(const VARIANT* v) { return (v->vt & VT_BYREF) && v->vt == (VT_VARIANT | VT_BYREF) ? *v->pvarVal : *v; }
    static std::string Text(const VARIANT* v) {
        if (Plain(v).vt != VT_BSTR) throw BadArgument();
        return Utf8(Plain(v).bstrVal);
    }
    static std::string Real(const VARIANT* v) {
        if (Plain(v).vt != VT_R8) throw BadArgument();
        return Number(Plain(v).dblVal);
    }
    static std::string Integer(const VARIANT* v) {
        const VARIANT& p = Plain(v);
        if (p.vt == VT_I2) return " " + std::to_string(p.iVal);
        if (p.vt == VT_I4) return " " + std::to_string(p.lVal);
        throw BadArgument();
    }
    static std::string Boolean(const VARIANT* v) {
        if (Plain(v).vt != VT_BOOL) throw BadArgument();
        return Plain(v).boolVal ? " true" : " false";
    }
    // A SAFEARRAY of doubles: a point when `count` is 3, else any even count.
    static std::string Reals(const VARIANT* v, long count) {
        const VARIANT& p = Plain(v);
        if (p.vt != (VT_ARRAY | VT_R8) || p.parray == nullptr || SafeArrayGetDim(p.parray) != 1) throw BadArgument();
        LONG lower = 0, upper = -1;
        SafeArrayGetLBound(p.parray, 1, &lower);
        SafeArrayGetUBound(p.parray, 1, &upper);
        const long n = upper - lower + 1;
        if (count > 0 ? n != count : (n < 4 || n % 2 != 0)) throw BadArgument();
        std::string out;
        for (LONG i = lower; i <= upper; ++i) {
            double value = 0;
            SafeArrayGetElement(p.parray, &i, &value);
            out += Number(value);
        }
        return out;
    }
    static std::string Objects(const VARIANT* v) {
        const VARIANT& p = Plain(v);
        if (p.vt != (VT_ARRAY | VT_DISPATCH) || p.parray == nullptr) throw BadArgument();
        LONG lower = 0, upper = -1;
        SafeArrayGetLBound(p.parray, 1, &lower);
        SafeArrayGetUBound(p.parray, 1, &upper);
        std::string out;
        for (LONG i = lower; i <= upper; ++i) {
            IDispatch* object = nullptr;
            SafeArrayGetElement(p.parray, &i, &object);
            if (object == nullptr) throw BadArgument();
            out += " #" + std::to_string(static_cast<StandInObject*>(object)->id_);
            object->Release();
        }
        return out;
    }
    static void Count(const std::vector<VARIANT*>& args, std::size_t n) {
        if (args.size() != n) throw BadArgument();
    }

    HRESULT Fail(EXCEPINFO* exception, const std::string& text) {
        if (exception) {
            *exception = EXCEPINFO{};
            exception->bstrSource = SysAllocString(L"AutoCAD.Application");
            exception->bstrDescription = Bstr(text);
            exception->scode = E_FAIL;
        }
        return DISP_E_EXCEPTION;
    }
    HRESULT ReturnObject(Kind kind, VARIANT* result) {
        result->vt = VT_DISPATCH;
        result->pdispVal = new StandInObject(kind, script_, static_cast<int>(script_.calls.size()));
        return S_OK;
    }

    HRESULT Call(const std::string& name, WORD flags, const std::vector<VARIANT*>& args, VARIANT* result,
                 EXCEPINFO* exception) {
        std::string record = name;
        if (name == "Visible") {
            if (!(flags & DISPATCH_PROPERTYPUT)) return DISP_E_MEMBERNOTFOUND;
            Count(args, 1);
            script_.calls.push_back(record + Boolean(args[0]));
            return S_OK;
        }
        if (name == script_.failing_member) {
            script_.calls.push_back(record + " failed");
            return Fail(exception, kFailureText);
        }
        if (name == "ActiveDocument" || name == "ModelSpace" || name == "Utility") {
            Count(args, 0);
            script_.calls.push_back(record);
            return ReturnObject(name == "ActiveDocument" ? Kind::Document
                                : name == "ModelSpace"   ? Kind::ModelSpace
                                                         : Kind::Utility,
                                result);
        }
        if (name == "GetVariable") {
            Count(args, 1);
            script_.calls.push_back(record + " " + Text(args[0]));
            result->vt = VT_R8;
            result->dblVal = script_.lt_scale;
            return S_OK;
        }
        if (name == "GetString") {
            Count(args, 2);
            script_.calls.push_back(record + Integer(args[0]) + " " + Text(args[1]));
            if (script_.answers.empty()) return Fail(exception, kCancelText);
            result->vt = VT_BSTR;
            result->bstrVal = Bstr(script_.answers.front());
            script_.answers.pop_front();
            return S_OK;
        }
        if (name == "GetPoint") {
            Count(args, 2);
            const VARIANT& base = Plain(args[0]);
            if (base.vt == VT_ERROR && base.scode == static_cast<SCODE>(DISP_E_PARAMNOTFOUND))
                record += " -";
            else
                record += Reals(args[0], 3);
            script_.calls.push_back(record + " " + Text(args[1]));
            if (script_.picks.empty()) return Fail(exception, kCancelText);
            const std::vector<double> pick = script_.picks.front();
            script_.picks.pop_front();
            SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, 3);
            for (LONG i = 0; i < 3; ++i) SafeArrayPutElement(array, &i, const_cast<double*>(&pick[static_cast<std::size_t>(i)]));
            result->vt = VT_ARRAY | VT_R8;
            result->parray = array;
            return S_OK;
        }
        if (name == "AddHatch") {
            Count(args, 3);
            record += Integer(args[0]) + " " + Text(args[1]) + Boolean(args[2]);
        } else if (name == "AddCircle") {
            Count(args, 2);
            record += Reals(args[0], 3) + Real(args[1]);
        } else if (name == "AddLightWeightPolyline") {
            Count(args, 1);
            record += Reals(args[0], 0);
        } else if (name == "AddLine") {
            Count(args, 2);
            record += Reals(args[0], 3) + Reals(args[1], 3);
        } else if (name == "AddText") {
            Count(args, 3);
            record += " " + Text(args[0]) + Reals(args[1], 3) + Real(args[2]);
        } else if (name == "AppendOuterLoop") {
            Count(args, 1);
            record += Objects(args[0]);
        } else if (name == "Update") {
            Count(args, 0);
        }
        record = "#" + std::to_string(id_) + " " + record;
        script_.calls.push_back(record);
        if (name.rfind("Add", 0) == 0) return ReturnObject(Kind::Entity, result);
        return S_OK;
    }

    Kind kind_;
    StandInScript& script_;
    int id_;  // the number of calls recorded before this object was made
    ULONG references_ = 1;
};

// Registers the stand-in as the running "AutoCAD.Application" of the machine
// (in the test's own Wine prefix: never run it on a machine with AutoCAD).
class ComAutomation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L"AutoCAD.Application\\CLSID", 0, nullptr, 0,
                                  KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kStandInClassText),
                       sizeof kStandInClassText);
        RegCloseKey(key);
    }
    void TearDown() override {
        Stop();
        CoUninitialize();
    }
    void Start() {
        application_ = new StandInObject(StandInObject::Kind::Application, script_, 0);
        ASSERT_TRUE(SUCCEEDED(RegisterActiveObject(application_, kStandInClass, ACTIVEOBJECT_STRONG, &cookie_)));
        CLSID registered{};
        ASSERT_EQ(CLSIDFromProgID(L"AutoCAD.Application", &registered), S_OK);
        ASSERT_TRUE(IsEqualCLSID(registered, kStandInClass));
        IUnknown* running = nullptr;
        ASSERT_EQ(GetActiveObject(kStandInClass, nullptr, &running), S_OK);
        running->Release();
    }
    void Stop() {
        if (application_ == nullptr) return;
        RevokeActiveObject(cookie_, nullptr);
        application_->Release();
        application_ = nullptr;
    }

    StandInScript script_;
    StandInObject* application_ = nullptr;
    DWORD cookie_ = 0;
};

TEST_F(ComAutomation, NoRunningServerIsNoSession) {
    EXPECT_EQ(AttachToAutoCad(), nullptr);
}

TEST_F(ComAutomation, EveryMemberTravelsWithAutoCadsTypes) {
    Start();
    script_.picks = {{1.5, -2.25, 0}, {4500000.125, 38500000.5, 0}};
    script_.answers = {"1:500"};
    auto cad = AttachToAutoCad();
    ASSERT_NE(cad, nullptr);
    cad->SetVisible(true);
    const CadObject document = cad->ActiveDocument();
    const CadObject space = cad->ModelSpace(document);
    const CadObject utility = cad->Utility(document);
    EXPECT_EQ(std::get<double>(cad->GetVariable(document, "LtScale")), 2.5);
    EXPECT_EQ(cad->GetString(utility, true, "比例尺:"), "1:500");
    const CadPoint first = cad->GetPoint(utility, "指定点:");
    EXPECT_EQ(first.x, 1.5);
    EXPECT_EQ(first.y, -2.25);
    const CadPoint second = cad->GetPoint(utility, first, "下一点:");
    EXPECT_EQ(second.x, 4500000.125);
    EXPECT_EQ(second.y, 38500000.5);
    const CadObject hatch = cad->AddHatch(space, 1, "SOLID", true);
    const CadObject circle = cad->AddCircle(space, {1, 2, 0}, 0.75);
    cad->AppendOuterLoop(hatch, {circle});
    cad->AddLightWeightPolyLine(space, {0, 0, 10, 0, 10, 5});
    cad->AddLine(space, {1, 2, 0}, {3, 4, 0});
    const CadObject text = cad->AddText(space, "X=3456789.012", {5, 6, 0}, 2.5);
    cad->Update(text);
    EXPECT_EQ(script_.calls, (std::vector<std::string>{
                                 "Visible true", "ActiveDocument", "ModelSpace", "Utility", "GetVariable LtScale",
                                 "GetString 1 比例尺:", "GetPoint - 指定点:", "GetPoint 1.5 -2.25 0 下一点:",
                                 "#3 AddHatch 1 SOLID true", "#3 AddCircle 1 2 0 0.75", "#9 AppendOuterLoop #10",
                                 "#3 AddLightWeightPolyline 0 0 10 0 10 5", "#3 AddLine 1 2 0 3 4 0",
                                 "#3 AddText X=3456789.012 5 6 0 2.5", "#14 Update"}));
}

TEST_F(ComAutomation, FailuresCarryTheServersText) {
    Start();
    auto cad = AttachToAutoCad();
    ASSERT_NE(cad, nullptr);
    const CadObject document = cad->ActiveDocument();
    const CadObject utility = cad->Utility(document);
    // Esc at a pick: the server's cancel text, which ends the annotation loops.
    try {
        cad->GetPoint(utility, "指定点:");
        ADD_FAILURE() << "an empty script picked a point";
    } catch (const CadError& error) {
        EXPECT_STREQ(error.what(), kCancelText);
    }
    script_.failing_member = "AddLine";
    const CadObject space = cad->ModelSpace(document);
    try {
        cad->AddLine(space, {0, 0, 0}, {1, 1, 0});
        ADD_FAILURE() << "a failing call succeeded";
    } catch (const CadError& error) {
        EXPECT_STREQ(error.what(), kFailureText);
    }
    EXPECT_THROW(cad->Update(CadObject{99}), CadError);
}

// A recorded drawing call: member, text (AddText) and numbers in argument order.
struct Drawn {
    std::string member;
    std::string text;
    std::vector<double> numbers;
};

std::vector<Drawn> DrawnOf(const std::vector<std::string>& calls, const std::string& member) {
    std::vector<Drawn> found;
    for (const std::string& call : calls) {
        std::vector<std::string> words;
        for (std::size_t at = 0; at != std::string::npos;) {
            const std::size_t end = call.find(' ', at);
            words.push_back(call.substr(at, end == std::string::npos ? end : end - at));
            at = end == std::string::npos ? end : end + 1;
        }
        if (words.size() < 2 || words[0][0] != '#' || words[1] != member) continue;
        Drawn drawn{member, "", {}};
        std::size_t first_number = member == "AddHatch" ? words.size() : 2;  // pattern, not numbers
        if (member == "AddText") {  // the text may hold blanks: the last four words are numbers
            first_number = words.size() - 4;
            for (std::size_t i = 2; i < first_number; ++i) drawn.text += (i > 2 ? " " : "") + words[i];
        }
        for (std::size_t i = first_number; i < words.size(); ++i) {
            std::size_t used = 0;
            drawn.numbers.push_back(std::stod(words[i], &used));
            if (used != words[i].size()) ADD_FAILURE() << "not a number in: " << call;
        }
        found.push_back(drawn);
    }
    return found;
}

// The annotation loops and the map sheet pick through the COM layer, with the
// scripts of coordconv-cad's scripted runs (tests/companion): the same
// entities, coordinates and texts as the companion draws.
TEST_F(ComAutomation, AnnotationLoopsDrawWhatTheCompanionDraws) {
    Start();
    const CadAttach attach = [] { return AttachToAutoCad(); };

    // Plane: LTSCALE 2, a blank height answer keeps h = 8; W = 0.7 * 13 * h.
    script_.lt_scale = 2;
    script_.answers = {"   "};
    script_.picks = {{500123.4567, 3805678.9, 0}, {500200, 3805700, 0}, {500150, 3805650, 0}};
    EXPECT_EQ(AnnotatePlane(attach), CadCommandOutcome::kFinished);
    const auto lines = DrawnOf(script_.calls, "AddLine");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].numbers, (std::vector<double>{500123.4567, 3805678.9, 0, 500200, 3805700, 0}));
    EXPECT_DOUBLE_EQ(lines[1].numbers[3], 500200 + 9.1 * 8);
    EXPECT_EQ(lines[1].numbers[4], 3805700);
    auto texts = DrawnOf(script_.calls, "AddText");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "X=3805678.900");
    EXPECT_EQ(texts[0].numbers[0], 500200);
    EXPECT_DOUBLE_EQ(texts[0].numbers[1], 3805700 + 0.3 * 8);
    EXPECT_EQ(texts[0].numbers[3], 8);
    EXPECT_EQ(texts[1].text, "Y=500123.457");
    EXPECT_DOUBLE_EQ(texts[1].numbers[1], 3805700 - 1.3 * 8);

    // Geodetic, in 3° zone 39, each label style: dot and leader, dot only,
    // leader only, neither. Labels of 16 GBK bytes: W = 0.7 * 16 * 2 = 22.4.
    const PlanePoint p = GaussForward(6378140, 1 / 298.257L, 39.5L, 116.25L - 117);
    const double x = static_cast<double>(p.y + 500000);
    const double y = static_cast<double>(p.x - 4000000);
    for (const bool circle : {true, false}) {
        for (const bool leader : {true, false}) {
            SCOPED_TRACE(std::string(circle ? "dot" : "no dot") + (leader ? ", leader" : ", no leader"));
            script_.calls.clear();
            script_.picks = {{x, y, 12.5}, {x - 30, y + 20, 0}};
            GeodeticAnnotationFields fields;
            fields.x_shift = "4000000";
            fields.y_shift = "39000000";
            fields.text_height = "2";
            fields.circle_radius = "0.6";
            fields.draw_circle = circle;
            fields.draw_leader = leader;
            fields.second_decimals = 1;
            EXPECT_EQ(AnnotateGeodetic(attach, fields), CadCommandOutcome::kFinished);
            const auto circles = DrawnOf(script_.calls, "AddCircle");
            ASSERT_EQ(circles.size(), circle ? 1u : 0u);
            ASSERT_EQ(DrawnOf(script_.calls, "AddHatch").size(), circle ? 1u : 0u);
            if (circle) {
                EXPECT_NEAR(circles[0].numbers[0], x, 1e-9);
                EXPECT_EQ(circles[0].numbers[2], 12.5);
                EXPECT_EQ(circles[0].numbers[3], 0.6);
            }
            const auto polylines = DrawnOf(script_.calls, "AddLightWeightPolyline");
            ASSERT_EQ(polylines.size(), leader ? 1u : 0u);
            if (leader) {
                ASSERT_EQ(polylines[0].numbers.size(), 6u);
                EXPECT_NEAR(polylines[0].numbers[2], x - 30, 1e-9);
                EXPECT_NEAR(polylines[0].numbers[4], x - 30 - 22.4, 1e-9);
                EXPECT_NEAR(polylines[0].numbers[5], y + 20, 1e-9);
            }
            texts = DrawnOf(script_.calls, "AddText");
            ASSERT_EQ(texts.size(), 2u);
            EXPECT_EQ(texts[0].text, "E116°15′00.0″");
            EXPECT_EQ(texts[1].text, "N 39°30′00.0″");
            if (circle && leader) {
                EXPECT_NEAR(texts[0].numbers[0], x - 30 + 0.6 - 22.4, 1e-9);
                EXPECT_NEAR(texts[0].numbers[1], y + 20 + 0.6, 1e-9);
                EXPECT_NEAR(texts[1].numbers[1], y + 20 - 2.6, 1e-9);
            }
        }
    }

    script_.picks = {{39500123.25, 4425000.5, 0}};
    const auto sheet = PickSheetPoint(attach);
    ASSERT_TRUE(sheet.has_value());
    EXPECT_EQ(sheet->x, "4425000.5");
    EXPECT_EQ(sheet->y, "39500123.25");
}

// Without a running server every command ends with "AutoCAD尚未打开！".
TEST_F(ComAutomation, NoServerMeansAutoCadIsNotOpen) {
    const CadAttach attach = [] { return AttachToAutoCad(); };
    EXPECT_EQ(AnnotatePlane(attach), CadCommandOutcome::kCadNotRunning);
    EXPECT_EQ(AnnotateGeodetic(attach, GeodeticAnnotationFields{}), CadCommandOutcome::kCadNotRunning);
    EXPECT_FALSE(PickSheetPoint(attach).has_value());
    EXPECT_STREQ(kCadNotRunningText, "AutoCAD尚未打开！");
}

}  // namespace
}  // namespace coordconv
