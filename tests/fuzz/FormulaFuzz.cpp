// Any text as a price formula over any seven skills: the evaluator, its range, its fault check and its
// notes end, within the step's time, without a crash.
#include "core/prices/PriceCalculator.h"
#include "FuzzSupport.h"

using namespace kivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kSkillCount) return -1;
    Skills skills{};
    for (std::size_t i = 0; i < kSkillCount; ++i)
        skills[i] = data[i] % 16;
    const std::string formula(reinterpret_cast<const char*>(data + kSkillCount),
                              std::min<std::size_t>(size - kSkillCount, 400));
    static PriceEvaluator evaluator;
    const fuzz::StepClock clock("the formula evaluator");
    (void)evaluator.Value(formula, skills);
    (void)evaluator.CalcularPrecio(formula, skills);
    (void)evaluator.Range(formula);
    (void)evaluator.Fault(formula, skills);
    (void)FormulaNotes(formula);
    (void)FindSuffixPitfalls(formula);
    (void)ExpandFormula(formula);
    clock.Check();
    return 0;
}
