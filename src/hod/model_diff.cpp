#include "hod/model_diff.h"

#include <fmt/format.h>

#include <cmath>
#include <type_traits>

#include "common/number_text.h"
#include "hod/model_fields.h"

namespace gantry {

namespace {

template <typename T>
struct IsVector : std::false_type {};
template <typename T>
struct IsVector<std::vector<T>> : std::true_type {};
template <typename T>
struct IsArray : std::false_type {};
template <typename T, std::size_t N>
struct IsArray<std::array<T, N>> : std::true_type {};

std::string Printable(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) {
      out += fmt::format("\\x{:02x}", static_cast<unsigned char>(c));
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string StripNuls(std::string text) {
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

class Differ {
 public:
  Differ(const DiffOptions& options, bool same_dialect)
      : options_(options), same_dialect_(same_dialect) {}

  std::vector<std::string>& lines() { return lines_; }

  template <typename T>
  void Compare(const std::string& path, const T& a, const T& b) {
    if (Full()) return;
    if constexpr (std::is_floating_point_v<T>) {
      // Equal infinities differ by NaN, so they are compared as they are.
      const bool same = a == b || (std::isnan(a) && std::isnan(b));
      if (!same && !(std::fabs(double{a} - double{b}) <= options_.tolerance)) {
        std::string x = NumberText(a), y = NumberText(b);
        // Values that agree in their first 7 or 15 digits show every digit that tells them apart.
        if (x == y) x = fmt::format("{}", a), y = fmt::format("{}", b);
        Add(path, x, y);
      }
    } else if constexpr (std::is_integral_v<T>) {
      if (a != b) Add(path, NumberText(a), NumberText(b));
    } else if constexpr (std::is_same_v<T, std::string>) {
      if (a != b) Add(path, Printable(a), Printable(b));
    } else if constexpr (std::is_same_v<T, Tag>) {
      if (a != b) Add(path, Printable(a.str()), Printable(b.str()));
    } else if constexpr (std::is_same_v<T, MipLevel>) {
      CompareBytes(path, a, b);
    } else if constexpr (IsVector<T>::value || IsArray<T>::value) {
      if (a.size() != b.size()) Add(path + ".size", NumberText(a.size()), NumberText(b.size()));
      const std::size_t n = std::min(a.size(), b.size());
      for (std::size_t i = 0; i < n && !Full(); ++i) {
        Compare(fmt::format("{}[{}]", path, i), a[i], b[i]);
      }
    } else {
      FieldWalker<T> walker{*this, path, a, b};
      Describe(walker, Kind<T>{});
    }
  }

 private:
  template <typename R>
  struct FieldWalker {
    Differ& differ;
    const std::string& path;
    const R& a;
    const R& b;

    template <typename M, typename Owner>
    void Field(const char* name, M Owner::*member, FieldRole role) {
      if (role == FieldRole::Derived) return;
      if (role == FieldRole::Framing && !differ.same_dialect_) return;
      if constexpr (std::is_same_v<R, MaterialParameter>) {
        // A differing Type is reported on its own; fields the type does not store are not.
        if (role == FieldRole::ColourParameter && a.Type != kParameterColour) return;
        if (role == FieldRole::TextureParameter && a.Type != kParameterTexture) return;
      }
      const std::string child = path.empty() ? name : path + "." + name;
      const M& x = a.*member;
      const M& y = b.*member;
      if constexpr (std::is_same_v<M, std::string>) {
        if (role == FieldRole::OwnerText) {
          differ.Compare(child, StripNuls(x), StripNuls(y));
          return;
        }
      }
      differ.Compare(child, x, y);
    }
  };

  // Mip levels are long byte runs: one line for the first differing byte is enough.
  void CompareBytes(const std::string& path, const MipLevel& a, const MipLevel& b) {
    if (a.size() != b.size()) {
      Add(path + ".size", NumberText(a.size()), NumberText(b.size()));
      return;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (a[i] != b[i]) {
        Add(fmt::format("{}[{}]", path, i), NumberText(a[i]), NumberText(b[i]));
        return;
      }
    }
  }

  void Add(const std::string& path, const std::string& a, const std::string& b) {
    if (Full()) return;
    lines_.push_back(fmt::format("{}: {} != {}", path, a, b));
    if (lines_.size() == options_.max_differences) {
      lines_.push_back(fmt::format("(stopped after {} differences)", options_.max_differences));
    }
  }
  bool Full() const { return lines_.size() >= options_.max_differences; }

  const DiffOptions& options_;
  const bool same_dialect_;
  std::vector<std::string> lines_;
};

// Walks every field like the comparison and stops at the first number that is not finite. The
// path is spelt only then, from the chain of steps that led there.
class FiniteCheck {
 public:
  struct Step {
    const Step* parent;
    const char* name;  // nullptr for a list entry
    std::size_t index;
  };

  template <typename T>
  void Visit(const Step* step, const T& value) {
    if (found) return;
    if constexpr (std::is_floating_point_v<T>) {
      if (!std::isfinite(value)) found = Spell(step);
    } else if constexpr (std::is_same_v<T, MipLevel> || std::is_same_v<T, std::string> ||
                         std::is_same_v<T, Tag> || !std::is_class_v<T>) {
      return;
    } else if constexpr (IsVector<T>::value || IsArray<T>::value) {
      for (std::size_t i = 0; i < value.size() && !found; ++i) {
        const Step entry{step, nullptr, i};
        Visit(&entry, value[i]);
      }
    } else {
      Walker<T> walker{*this, step, value};
      Describe(walker, Kind<T>{});
    }
  }
  std::optional<std::string> found;

 private:
  template <typename R>
  struct Walker {
    FiniteCheck& check;
    const Step* step;
    const R& record;
    template <typename M, typename Owner>
    void Field(const char* name, M Owner::*member, FieldRole) {
      const Step field{step, name, 0};
      check.Visit(&field, record.*member);
    }
  };

  static std::string Spell(const Step* step) {
    if (step == nullptr) return {};
    std::string before = Spell(step->parent);
    if (step->name == nullptr) return fmt::format("{}[{}]", before, step->index);
    return before.empty() ? step->name : before + "." + step->name;
  }
};

}  // namespace

std::optional<std::string> FirstNonFiniteField(const HodModel& model) {
  FiniteCheck check;
  check.Visit(nullptr, model);
  return check.found;
}

std::vector<std::string> DiffModels(const HodModel& a, const HodModel& b,
                                    const DiffOptions& options) {
  Differ differ(options, a.Dialect == b.Dialect);
  differ.Compare("", a, b);
  return std::move(differ.lines());
}

}  // namespace gantry
