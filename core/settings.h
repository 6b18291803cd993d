#pragma once
// The fields of the main window `主体` that hold the 29 settings and the 4 run-time states,
// with their built-in defaults. Every part of the launcher reads and changes settings
// only through these fields.
#include <array>

#include "core/field.h"

namespace tovren::core {

struct Settings {
  Field 版本编号{"1"};                       // version number
  std::array<Field, 8> 复选框辅助{           // option switches 1-8
      Field{"0"}, Field{"0"}, Field{"0"}, Field{"0"},
      Field{"0"}, Field{"0"}, Field{"0"}, Field{"0"}};
  Field 路径;                                // platform path
  std::array<Field, 5> 血量{Field{"50"}, Field{"100"}, Field{"150"}, Field{"200"}, Field{"300"}};
  std::array<Field, 5> 时间{Field{"1"}, Field{"3"}, Field{"5"}, Field{"10"}, Field{"15"}};
  std::array<Field, 8> 场次{Field{"1"}, Field{"3"}, Field{"5"}, Field{"9"},
                            Field{"15"}, Field{"21"}, Field{"27"}, Field{"OO"}};
  Field 人数{"16"};                          // player count

  // Run-time state, never saved.
  std::array<Field, 3> 按钮辅助{Field{"0"}, Field{"0"}, Field{"0"}};  // panel flags 1-3
  Field 下拉项辅助{"0"};                                              // drop-down state
};

}  // namespace tovren::core
