#pragma once
// Position expressions of forms: small integer trees kept from reading and
// evaluated at every layout, because a written 469 stands for the height of
// the sheet being laid out. Evaluation is in 64 bits with every node's value
// saturated to 32 bits, "/" rounds the quotient to the nearest integer with
// halves to even, and a division by zero gives 0.

#include <cstdint>
#include <memory>
#include <string>

namespace velt {

class FormExpression {
public:
    enum class Op : std::uint8_t { Constant, Negate, Add, Subtract, Multiply, Divide };

    // No tree: evaluates to 0.
    FormExpression();
    // A number as written in a description: a written 469 follows the sheet height.
    static FormExpression Written(std::int32_t value);
    // A value of the program's own, never the sheet height.
    static FormExpression Constant(std::int32_t value);
    static FormExpression Negate(FormExpression operand);
    static FormExpression Binary(Op op, FormExpression left, FormExpression right);

    FormExpression(const FormExpression& other);
    FormExpression& operator=(const FormExpression& other);
    FormExpression(FormExpression&&) noexcept;
    FormExpression& operator=(FormExpression&&) noexcept;
    ~FormExpression();

    bool Empty() const { return !mNode; }
    // The value, a written 469 giving sheetHeight.
    std::int32_t Evaluate(std::int32_t sheetHeight = 469) const;
    // How many levels the tree has (0 for none).
    int Depth() const;
    // The tree written out with full parentheses ("((1+2)*3)"), for messages and tests.
    std::string Text() const;

    // The height a written 469 stands for outside the record editing window.
    static constexpr std::int32_t kSheetHeight = 469;

private:
    struct Node;
    explicit FormExpression(std::unique_ptr<Node> node);
    std::unique_ptr<Node> mNode;
};

// Rounds to the nearest integer, halves to even, saturated to 32 bits.
std::int32_t RoundHalfEven(double value);
// a + b saturated to 32 bits: pixel and unit sums of expressions a
// description made huge.
inline int SatAdd(std::int64_t a, std::int64_t b) {
    const std::int64_t s = a + b;
    return static_cast<int>(s > INT32_MAX ? INT32_MAX : s < INT32_MIN ? INT32_MIN : s);
}
// a / b rounded to the nearest integer, halves to even; 0 when b is 0.
std::int64_t DivideHalfEven(std::int64_t a, std::int64_t b);

}  // namespace velt
