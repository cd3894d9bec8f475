#include "app/engine/expression.h"

#include <algorithm>

namespace quadrivo {
namespace {

constexpr const char* kTimes = "×";
constexpr const char* kDividedBy = "÷";

bool is_additive(Operator op) { return op == Operator::add || op == Operator::subtract; }
bool is_inverse(Operator op) { return op == Operator::subtract || op == Operator::divide; }

const char* operator_text(Operator op, bool inverse) {
  if (is_additive(op)) return inverse ? "-" : "+";
  return inverse ? kDividedBy : kTimes;
}

void append_number(std::string& text, std::int64_t number) {
  if (number < 0) text += '(';
  text += std::to_string(number);
  if (number < 0) text += ')';
}

// --- As written ---

int precedence(Operator op) { return is_additive(op) ? 1 : 2; }

void append_written(std::string& text, const ExpressionNodes& nodes, int index);

void append_operand(std::string& text, const ExpressionNodes& nodes, int index, bool parenthesised) {
  if (parenthesised) text += '(';
  append_written(text, nodes, index);
  if (parenthesised) text += ')';
}

void append_written(std::string& text, const ExpressionNodes& nodes, int index) {
  const ExpressionNode& node = nodes[static_cast<std::size_t>(index)];
  if (node.is_number()) {
    append_number(text, node.number);
    return;
  }
  const ExpressionNode& left = nodes[static_cast<std::size_t>(node.left)];
  const ExpressionNode& right = nodes[static_cast<std::size_t>(node.right)];
  const int own = precedence(node.op);
  // Operations run left to right, so a left operand of the same level needs no parentheses, a
  // right operand of the same level does (a-(b-c), a÷(b×c)).
  append_operand(text, nodes, node.left, !left.is_number() && precedence(left.op) < own);
  text += operator_text(node.op, is_inverse(node.op));
  append_operand(text, nodes, node.right, !right.is_number() && precedence(right.op) <= own);
}

// --- Normal form ---

struct FormPart;

struct Form {
  // The order of kinds is the printed order: a product leads with its parenthesised sums, as in
  // (1+2+3)×4; a sum leads with its numbers, as in 3+3÷7. A sum's parts are never sums and a
  // product's never products, so one order serves both.
  enum class Kind : std::uint8_t { sum, number, product };
  Kind kind = Kind::number;
  std::int64_t number = 0;
  std::vector<FormPart> parts;  // a sum's terms or a product's factors, sorted
};

struct FormPart {
  bool inverse = false;  // subtracted from the sum, or divided out of the product
  Form form;
};

int compare(const Form& a, const Form& b);

int compare(const FormPart& a, const FormPart& b) {
  if (a.inverse != b.inverse) return a.inverse ? 1 : -1;
  return compare(a.form, b.form);
}

int compare(const Form& a, const Form& b) {
  if (a.kind != b.kind) return a.kind < b.kind ? -1 : 1;
  if (a.kind == Form::Kind::number) return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
  const std::size_t common = std::min(a.parts.size(), b.parts.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (const int order = compare(a.parts[i], b.parts[i]); order != 0) return order;
  }
  if (a.parts.size() == b.parts.size()) return 0;
  return a.parts.size() < b.parts.size() ? -1 : 1;
}

Form form_of(const ExpressionNodes& nodes, int index);

// The terms (or factors) of the node flattened into parts: a node of the same family gives its own
// operands, a subtracted (divided) one with every inverse flag turned over.
void append_parts(std::vector<FormPart>& parts, const ExpressionNodes& nodes, int index, bool additive,
                  bool inverse) {
  const ExpressionNode& node = nodes[static_cast<std::size_t>(index)];
  if (!node.is_number() && is_additive(node.op) == additive) {
    append_parts(parts, nodes, node.left, additive, inverse);
    append_parts(parts, nodes, node.right, additive, inverse != is_inverse(node.op));
    return;
  }
  parts.push_back({inverse, form_of(nodes, index)});
}

Form form_of(const ExpressionNodes& nodes, int index) {
  const ExpressionNode& node = nodes[static_cast<std::size_t>(index)];
  Form form;
  if (node.is_number()) {
    form.number = node.number;
    return form;
  }
  const bool additive = is_additive(node.op);
  form.kind = additive ? Form::Kind::sum : Form::Kind::product;
  append_parts(form.parts, nodes, index, additive, false);
  std::sort(form.parts.begin(), form.parts.end(),
            [](const FormPart& a, const FormPart& b) { return compare(a, b) < 0; });
  return form;
}

void append_form(std::string& text, const Form& form) {
  if (form.kind == Form::Kind::number) {
    append_number(text, form.number);
    return;
  }
  const bool additive = form.kind == Form::Kind::sum;
  bool first = true;
  for (const FormPart& part : form.parts) {
    // Sorted, the first part is an added term or a multiplied factor: every sum and product has
    // one, since only the right operand of - or ÷ is turned over.
    if (!first) text += operator_text(additive ? Operator::add : Operator::multiply, part.inverse);
    first = false;
    const bool parenthesised = !additive && part.form.kind == Form::Kind::sum;
    if (parenthesised) text += '(';
    append_form(text, part.form);
    if (parenthesised) text += ')';
  }
}

}  // namespace

std::optional<Fraction> apply(Operator op, Fraction left, Fraction right) {
  switch (op) {
    case Operator::add: return add(left, right);
    case Operator::subtract: return subtract(left, right);
    case Operator::multiply: return multiply(left, right);
    default: return divide(left, right);
  }
}

std::string written_text(const ExpressionNodes& nodes, int root) {
  std::string text;
  append_written(text, nodes, root);
  return text;
}

std::string normal_form_text(const ExpressionNodes& nodes, int root) {
  std::string text;
  append_form(text, form_of(nodes, root));
  return text;
}

}  // namespace quadrivo
