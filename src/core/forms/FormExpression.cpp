// Position expression trees.

#include "forms/FormExpression.h"

#include <algorithm>
#include <cmath>

namespace velt {

struct FormExpression::Node {
    Op op = Op::Constant;
    std::int32_t value = 0;
    bool sheet = false;  // a written 469
    std::unique_ptr<Node> left, right;
    int depth = 1;

    std::unique_ptr<Node> Copy() const {
        auto n = std::make_unique<Node>();
        n->op = op;
        n->value = value;
        n->sheet = sheet;
        n->depth = depth;
        if (left) n->left = left->Copy();
        if (right) n->right = right->Copy();
        return n;
    }
};

namespace {

std::int64_t Saturate(std::int64_t v) { return std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX); }

}  // namespace

std::int64_t DivideHalfEven(std::int64_t a, std::int64_t b) {
    if (b == 0) return 0;
    std::int64_t q = a / b;
    const std::int64_t r = a % b;
    if (r != 0) {
        const std::int64_t twice = 2 * (r < 0 ? -r : r);
        const std::int64_t divisor = b < 0 ? -b : b;
        const std::int64_t step = ((a < 0) != (b < 0)) ? -1 : 1;
        if (twice > divisor || (twice == divisor && (q % 2 != 0))) q += step;
    }
    return q;
}

std::int32_t RoundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    const double floor = std::floor(value);
    const double diff = value - floor;
    double r = floor;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(floor, 2.0) != 0.0)) r = floor + 1.0;
    return static_cast<std::int32_t>(Saturate(static_cast<std::int64_t>(r)));
}

FormExpression::FormExpression(std::unique_ptr<Node> node) : mNode(std::move(node)) {}
FormExpression::FormExpression(const FormExpression& other) : mNode(other.mNode ? other.mNode->Copy() : nullptr) {}
FormExpression& FormExpression::operator=(const FormExpression& other) {
    if (this != &other) mNode = other.mNode ? other.mNode->Copy() : nullptr;
    return *this;
}
FormExpression::FormExpression() = default;
FormExpression::FormExpression(FormExpression&&) noexcept = default;
FormExpression& FormExpression::operator=(FormExpression&&) noexcept = default;
FormExpression::~FormExpression() = default;

FormExpression FormExpression::Constant(std::int32_t value) {
    auto n = std::make_unique<Node>();
    n->value = value;
    return FormExpression(std::move(n));
}

FormExpression FormExpression::Written(std::int32_t value) {
    FormExpression e = Constant(value);
    e.mNode->sheet = value == kSheetHeight;
    return e;
}

FormExpression FormExpression::Negate(FormExpression operand) {
    auto n = std::make_unique<Node>();
    n->op = Op::Negate;
    n->depth = operand.Depth() + 1;
    n->left = operand.mNode ? std::move(operand.mNode) : Constant(0).mNode;
    return FormExpression(std::move(n));
}

FormExpression FormExpression::Binary(Op op, FormExpression left, FormExpression right) {
    auto n = std::make_unique<Node>();
    n->op = op;
    n->depth = std::max(left.Depth(), right.Depth()) + 1;
    n->left = left.mNode ? std::move(left.mNode) : Constant(0).mNode;
    n->right = right.mNode ? std::move(right.mNode) : Constant(0).mNode;
    return FormExpression(std::move(n));
}

int FormExpression::Depth() const { return mNode ? mNode->depth : 0; }

namespace {

// The reader bounds the depth, so the recursion is bounded too.
std::int64_t Eval(const FormExpression::Op op, std::int32_t value, bool sheet, const std::int64_t a,
                  const std::int64_t b, std::int32_t sheetHeight) {
    using Op = FormExpression::Op;
    switch (op) {
    case Op::Constant: return sheet ? sheetHeight : value;
    case Op::Negate: return Saturate(-a);
    case Op::Add: return Saturate(a + b);
    case Op::Subtract: return Saturate(a - b);
    case Op::Multiply: return Saturate(a * b);
    case Op::Divide: return Saturate(DivideHalfEven(a, b));
    }
    return 0;
}

}  // namespace

std::int32_t FormExpression::Evaluate(std::int32_t sheetHeight) const {
    struct Walker {
        std::int32_t sheet;
        std::int64_t Walk(const Node* n) const {
            if (!n) return 0;
            const std::int64_t a = n->left ? Walk(n->left.get()) : 0;
            const std::int64_t b = n->right ? Walk(n->right.get()) : 0;
            return Eval(n->op, n->value, n->sheet, a, b, sheet);
        }
    };
    return static_cast<std::int32_t>(Walker{sheetHeight}.Walk(mNode.get()));
}

std::string FormExpression::Text() const {
    struct Writer {
        static std::string Write(const Node* n) {
            if (!n) return "0";
            switch (n->op) {
            case Op::Constant: return std::to_string(n->value);
            case Op::Negate: return "-" + Write(n->left.get());
            default: break;
            }
            const char* sign = n->op == Op::Add ? "+" : n->op == Op::Subtract ? "-" : n->op == Op::Multiply ? "*" : "/";
            return "(" + Write(n->left.get()) + sign + Write(n->right.get()) + ")";
        }
    };
    return Writer::Write(mNode.get());
}

}  // namespace velt
