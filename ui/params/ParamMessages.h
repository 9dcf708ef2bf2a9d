// Messages of the parameter dialogs and commands.
#pragma once

namespace ParamCommands {

inline constexpr char kEqualDatums[] = "椭球基准相同，七参数为零!";
inline constexpr char kSevenNotDetermined[] = "三个公共点不能确定七参数，七参数未改变!";
inline constexpr char kCoincidentPoints[] = "两个公共点重合，不能确定四参数!";
inline constexpr char kChooseDatums[] = "请为两边选择椭球基准!";

}  // namespace ParamCommands
