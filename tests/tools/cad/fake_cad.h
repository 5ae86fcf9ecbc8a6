// An in-memory CAD program for the command tests: answers picks and typed
// texts from lists (an exhausted list is the user pressing Esc) and records
// every call with its arguments.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/cad/cad_automation.h"

namespace coordconv::testing {

class FakeCad {
public:
    static constexpr const char* kCancelText = "*取消*";

    struct Call {
        std::string member;           // "AddLine", "AddText", ...
        std::vector<double> numbers;  // coordinates, radius, height in argument order
        std::string text;             // pattern name or text
        std::vector<std::uint32_t> objects;  // object arguments
    };

    std::vector<CadPoint> picks;        // answers to GetPoint, in order
    std::vector<std::string> answers;   // answers to GetString, in order
    CadValue lt_scale = 1.0;
    bool visible = false;
    std::vector<std::string> prompts;   // every prompt shown, in order
    std::vector<CadPoint> bases;        // base points of the GetPoint calls that had one
    std::vector<Call> calls;            // drawing calls (Add..., AppendOuterLoop, Update)
    std::string failing_member;         // a drawing call that fails with kFailureText
    static constexpr const char* kFailureText = "drawing call failed";

    CadAttach Attach() {
        return [this] { return std::unique_ptr<CadAutomation>(new Session(*this)); };
    }

    // The drawing calls of one member, in order.
    std::vector<Call> CallsOf(const std::string& member) const {
        std::vector<Call> found;
        for (const auto& call : calls)
            if (call.member == member) found.push_back(call);
        return found;
    }

private:
    class Session : public CadAutomation {
    public:
        explicit Session(FakeCad& cad) : cad_(cad) {}
        void SetVisible(bool visible) override { cad_.visible = visible; }
        CadObject ActiveDocument() override { return {1}; }
        CadObject ModelSpace(CadObject) override { return {2}; }
        CadObject Utility(CadObject) override { return {3}; }
        CadValue GetVariable(CadObject, const std::string& name) override {
            if (name != "LtScale") throw CadError("unknown variable " + name);
            return cad_.lt_scale;
        }
        std::string GetString(CadObject, bool, const std::string& prompt) override {
            cad_.prompts.push_back(prompt);
            if (next_answer_ >= cad_.answers.size()) throw CadError(kCancelText);
            return cad_.answers[next_answer_++];
        }
        CadPoint GetPoint(CadObject, const std::string& prompt) override {
            cad_.prompts.push_back(prompt);
            if (next_pick_ >= cad_.picks.size()) throw CadError(kCancelText);
            return cad_.picks[next_pick_++];
        }
        CadPoint GetPoint(CadObject utility, const CadPoint& base, const std::string& prompt) override {
            cad_.bases.push_back(base);
            return GetPoint(utility, prompt);
        }
        CadObject AddHatch(CadObject, int pattern_type, const std::string& name, bool associative) override {
            return Record({"AddHatch", {double(pattern_type), double(associative)}, name, {}});
        }
        CadObject AddCircle(CadObject, const CadPoint& c, double radius) override {
            return Record({"AddCircle", {c.x, c.y, c.z, radius}, "", {}});
        }
        void AppendOuterLoop(CadObject hatch, const std::vector<CadObject>& loop) override {
            Call call{"AppendOuterLoop", {}, "", {hatch.id}};
            for (const auto& object : loop) call.objects.push_back(object.id);
            Record(call);
        }
        CadObject AddLightWeightPolyLine(CadObject, const std::vector<double>& vertices) override {
            return Record({"AddLightWeightPolyLine", vertices, "", {}});
        }
        CadObject AddLine(CadObject, const CadPoint& s, const CadPoint& e) override {
            return Record({"AddLine", {s.x, s.y, s.z, e.x, e.y, e.z}, "", {}});
        }
        void Update(CadObject entity) override { Record({"Update", {}, "", {entity.id}}); }
        CadObject AddText(CadObject, const std::string& text, const CadPoint& p, double height) override {
            return Record({"AddText", {p.x, p.y, p.z, height}, text, {}});
        }

    private:
        CadObject Record(const Call& call) {
            if (call.member == cad_.failing_member) throw CadError(kFailureText);
            cad_.calls.push_back(call);
            return {static_cast<std::uint32_t>(100 + cad_.calls.size())};
        }
        FakeCad& cad_;
        std::size_t next_pick_ = 0;
        std::size_t next_answer_ = 0;
    };
};

}  // namespace coordconv::testing
