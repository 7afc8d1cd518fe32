<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="zh_CN">
<context>
    <name>pheselect</name>
    <message>
        <source>Vandor板式换热器选型计算软件  Version16G</source>
        <translation>Vandor Plate Heat Exchanger Selection  Version16G</translation>
    </message>
    <message>
        <source>工况参数</source>
        <translation>Operating case</translation>
    </message>
    <message>
        <source>热介质</source>
        <translation>Hot side</translation>
    </message>
    <message>
        <source>冷介质</source>
        <translation>Cold side</translation>
    </message>
    <message>
        <source>介质名称</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>进口温度</source>
        <translation>Inlet temperature</translation>
    </message>
    <message>
        <source>出口温度</source>
        <translation>Outlet temperature</translation>
    </message>
    <message>
        <source>介质流量</source>
        <translation>Flow</translation>
    </message>
    <message>
        <source>最大压降</source>
        <translation>Max. pressure drop</translation>
    </message>
    <message>
        <source>设备参数</source>
        <translation>Equipment</translation>
    </message>
    <message>
        <source>设计压力</source>
        <translation>Design pressure</translation>
    </message>
    <message>
        <source>板片材质</source>
        <translation>Plate material</translation>
    </message>
    <message>
        <source>板片厚度</source>
        <translation>Plate thickness</translation>
    </message>
    <message>
        <source>垫片材质</source>
        <translation>Gasket material</translation>
    </message>
    <message>
        <source>接口材质</source>
        <translation>Port lining</translation>
    </message>
    <message>
        <source>设计参数</source>
        <translation>Design parameters</translation>
    </message>
    <message>
        <source>设计计算</source>
        <translation>Design</translation>
    </message>
    <message>
        <source>校核计算</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>模拟计算</source>
        <translation>Simulation</translation>
    </message>
    <message>
        <source>热交换量</source>
        <translation>Heat duty</translation>
    </message>
    <message>
        <source>流程数量</source>
        <translation>Passes</translation>
    </message>
    <message>
        <source>设计裕量</source>
        <translation>Design margin</translation>
    </message>
    <message>
        <source>污垢系数</source>
        <translation>Fouling factor</translation>
    </message>
    <message>
        <source>板型参数</source>
        <translation>Plate type</translation>
    </message>
    <message>
        <source>自动选型</source>
        <translation>Automatic selection</translation>
    </message>
    <message>
        <source>人工选型</source>
        <translation>Manual selection</translation>
    </message>
    <message>
        <source>板换型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>板片类型</source>
        <translation>Channel type</translation>
    </message>
    <message>
        <source>流道数H/M</source>
        <translation>Channels H/M</translation>
    </message>
    <message>
        <source>流道数M/L</source>
        <translation>Channels M/L</translation>
    </message>
    <message>
        <source>并联台数</source>
        <translation>Units in parallel</translation>
    </message>
    <message>
        <source>计算结果</source>
        <translation>Results</translation>
    </message>
    <message>
        <source>板换规格</source>
        <translation>Designation</translation>
    </message>
    <message>
        <source>流道排列</source>
        <translation>Arrangement</translation>
    </message>
    <message>
        <source>台</source>
        <translation>units</translation>
    </message>
    <message>
        <source>接口直径</source>
        <translation>Port diameter</translation>
    </message>
    <message>
        <source>接口流速</source>
        <translation>Port velocity</translation>
    </message>
    <message>
        <source>接口压降</source>
        <translation>Port pressure drop</translation>
    </message>
    <message>
        <source>计算压降</source>
        <translation>Pressure drop</translation>
    </message>
    <message>
        <source>传热系数</source>
        <translation>K service/clean</translation>
    </message>
    <message>
        <source>对数温差</source>
        <translation>LMTD</translation>
    </message>
    <message>
        <source>换热面积</source>
        <translation>Area</translation>
    </message>
    <message>
        <source>参考价格</source>
        <translation>Reference price</translation>
    </message>
    <message>
        <source>运行重量</source>
        <translation>Operating weight</translation>
    </message>
    <message>
        <source>外形尺寸</source>
        <translation>Outline (LxBxH)</translation>
    </message>
    <message>
        <source>单台</source>
        <translation>per unit</translation>
    </message>
    <message>
        <source>运行 (F5)</source>
        <translation>Run (F5)</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>计算完成：%1，用时 %2 ms</source>
        <translation>Done: %1 in %2 ms</translation>
    </message>
    <message>
        <source>输入已修改，请重新运行</source>
        <translation>Inputs changed, run again</translation>
    </message>
    <message>
        <source>数据库：%1</source>
        <translation>Database: %1</translation>
    </message>
    <message>
        <source>找不到英文翻译文件 translations/pheselect_en.qm，界面保持中文。</source>
        <translation>The English translation translations/pheselect_en.qm is missing; the window stays in Chinese.</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新建</source>
        <translation>New</translation>
    </message>
    <message>
        <source>打开…</source>
        <translation>Open…</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>导出计算书…</source>
        <translation>Export Calculation Sheet…</translation>
    </message>
    <message>
        <source>打印…</source>
        <translation>Print…</translation>
    </message>
    <message>
        <source>计算书抬头…</source>
        <translation>Sheet Heading…</translation>
    </message>
    <message>
        <source>计算书抬头</source>
        <translation>Sheet heading</translation>
    </message>
    <message>
        <source>项目</source>
        <translation>Project</translation>
    </message>
    <message>
        <source>位号</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>客户</source>
        <translation>Customer</translation>
    </message>
    <message>
        <source>导出计算书</source>
        <translation>Export calculation sheet</translation>
    </message>
    <message>
        <source>另存为…</source>
        <translation>Save As…</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>未命名</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>另存为</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>案例文件 (*.phe.json);;JSON 文件 (*.json)</source>
        <translation>Case files (*.phe.json);;JSON files (*.json)</translation>
    </message>
    <message>
        <source>;;所有文件 (*)</source>
        <translation>;;All files (*)</translation>
    </message>
    <message>
        <source>保存对案例的修改吗？</source>
        <translation>Save the changes to the case?</translation>
    </message>
    <message>
        <source>是</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>不保存</source>
        <translation>Don't Save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>文件含有多次运行（"runs"），窗口一次只打开一个案例</source>
        <translation>The file holds several runs ("runs"); the window opens one case at a time</translation>
    </message>
    <message>
        <source>软件说明(&amp;N)</source>
        <translation>&amp;Notes</translation>
    </message>
    <message>
        <source>板换特点(&amp;T)</source>
        <translation>Plate &amp;types</translation>
    </message>
    <message>
        <source>传热系数(&amp;K)</source>
        <translation>&amp;K values</translation>
    </message>
    <message>
        <source>污垢系数(&amp;R)</source>
        <translation>Fouling facto&amp;rs</translation>
    </message>
    <message>
        <source>蒸汽温度(&amp;S)</source>
        <translation>&amp;Steam temperature</translation>
    </message>
    <message>
        <source>本版本软件是专为从事换热工程的设计师开发的工具软件，便于设计师了解和掌握板式换热器选型计算。</source>
        <translation>This program is a tool for heat-transfer design engineers, to understand and master the selection of plate heat exchangers.</translation>
    </message>
    <message>
        <source>本版本软件中的板型主要借鉴了国内外厂家的主流产品，相关参数均作了调整，计算结果满足设计要求。</source>
        <translation>Its plate types follow mainstream products of makers at home and abroad, with adjusted parameters; the results meet design requirements.</translation>
    </message>
    <message>
        <source>液体接口常规流速&lt;4.5m/s，液体接口最高流速6m/s，蒸汽接口最高流速100m/s。</source>
        <translation>Liquid port velocity normally &lt;4.5 m/s, at most 6 m/s; steam port velocity at most 100 m/s.</translation>
    </message>
    <message>
        <source>自动选型时，会根据介质流量确定板换型号。液体接口流速&lt;4.5m/s，蒸汽接口流速&lt;100m/s。</source>
        <translation>Automatic selection picks the model from the flows: liquid port velocity &lt;4.5 m/s, steam port velocity &lt;100 m/s.</translation>
    </message>
    <message>
        <source>初始计算时，仅采用H、M、L三种板型进行计算，以面积最小者为选型结果。</source>
        <translation>The first calculation tries only the types H, M and L and takes the one with the smallest area.</translation>
    </message>
    <message>
        <source>设计裕量&gt;8%、计算压降近似等于最大压降、板型为H或M时，应人工采用HM或ML板型进行复算。</source>
        <translation>With a margin &gt;8 %, a pressure drop close to the maximum and type H or M, recalculate by hand with HM or ML.</translation>
    </message>
    <message>
        <source>设计裕量为0、计算压降低于0.9倍最大压降、板型为M或L时，应人工采用HM或ML板型进行复算。</source>
        <translation>With a margin of 0, a pressure drop below 0.9 times the maximum and type M or L, recalculate by hand with HM or ML.</translation>
    </message>
    <message>
        <source>选型计算时，一、二次侧流道数保持相同，板片数量始终为单数，便于板换接管。</source>
        <translation>Both sides get the same number of channels and the plate count is always odd, which eases the piping.</translation>
    </message>
    <message>
        <source>选型计算时，流程数默认值为1。为了方便板换清洗，强烈建议板换选型时流程数设置为1。</source>
        <translation>The number of passes defaults to 1. For easy cleaning, 1 pass is strongly advised.</translation>
    </message>
    <message>
        <source>设计裕量和污垢系数都是为了保证板式换热器正常运行而设置的安全系数，设计计算时任选一项。</source>
        <translation>Design margin and fouling factor are both safety allowances for normal operation; give one of them in a design calculation.</translation>
    </message>
    <message>
        <source>设计裕量： 设计传热系数与运行传热系数的差值占运行传热系数的百分比。</source>
        <translation>Design margin: the difference between design and service coefficient as a percentage of the service coefficient.</translation>
    </message>
    <message>
        <source>一次侧为蒸汽时，采用深波纹板片M，不能采用HM、ML板型。</source>
        <translation>With steam on the primary side, deep-corrugation M plates are used; HM and ML are not allowed.</translation>
    </message>
    <message>
        <source>板片为单边流，便于配管。</source>
        <translation>Single-side flow plates, easy to pipe.</translation>
    </message>
    <message>
        <source>板片波纹分浅波纹和深波纹，分别用符号B和M表示。</source>
        <translation>Corrugations are shallow or deep, marked B and M.</translation>
    </message>
    <message>
        <source>板片波纹夹角分大角度和小角度，分别用H和L表示。</source>
        <translation>Corrugation angles are large or small, marked H and L.</translation>
    </message>
    <message>
        <source>H板的特点是传热系数高、流体阻力大。</source>
        <translation>H plates: high heat-transfer coefficient, high flow resistance.</translation>
    </message>
    <message>
        <source>L板的特点是传热系数低、流体阻力小。</source>
        <translation>L plates: low heat-transfer coefficient, low flow resistance.</translation>
    </message>
    <message>
        <source>板型有五种，分别用H、HM、M、ML、L表示。</source>
        <translation>There are five channel types: H, HM, M, ML and L.</translation>
    </message>
    <message>
        <source>板型H表示全部由H板组装。</source>
        <translation>Type H: all H plates.</translation>
    </message>
    <message>
        <source>板型L表示全部由L板组装。</source>
        <translation>Type L: all L plates.</translation>
    </message>
    <message>
        <source>板型M表示由H板和L板相间组装。</source>
        <translation>Type M: H and L plates alternating.</translation>
    </message>
    <message>
        <source>板型HM、ML为混合流道，可任意组合，面积最多可节省30%。</source>
        <translation>HM and ML are mixed channels in any proportion, saving up to 30 % of area.</translation>
    </message>
    <message>
        <source>水—水（深波纹板）   4500～5200W/m2.℃</source>
        <translation>water-water (deep)    4500-5200W/m2.℃</translation>
    </message>
    <message>
        <source>水—水（浅波纹板）   6000～7000W/m2.℃</source>
        <translation>water-water (shallow) 6000-7000W/m2.℃</translation>
    </message>
    <message>
        <source>汽—水               3000～4000W/m2.℃</source>
        <translation>steam-water           3000-4000W/m2.℃</translation>
    </message>
    <message>
        <source>汽—油               800～930W/m2.℃</source>
        <translation>steam-oil             800-930W/m2.℃</translation>
    </message>
    <message>
        <source>热水—油             800～930W/m2.℃</source>
        <translation>hot water-oil         800-930W/m2.℃</translation>
    </message>
    <message>
        <source>冷水—油             400～580W/m2.℃</source>
        <translation>cold water-oil        400-580W/m2.℃</translation>
    </message>
    <message>
        <source>油—油               170～350W/m2.℃</source>
        <translation>oil-oil               170-350W/m2.℃</translation>
    </message>
    <message>
        <source>软水或蒸馏水     0.000009m2.℃/W</source>
        <translation>soft or distilled water   0.000009m2.℃/W</translation>
    </message>
    <message>
        <source>城市用软水       0.000017m2.℃/W</source>
        <translation>soft town water           0.000017m2.℃/W</translation>
    </message>
    <message>
        <source>城市用硬水       0.000043m2.℃/W</source>
        <translation>hard town water           0.000043m2.℃/W</translation>
    </message>
    <message>
        <source>处理后的冷却水   0.000017m2.℃/W</source>
        <translation>treated cooling water     0.000017m2.℃/W</translation>
    </message>
    <message>
        <source>沿海海水或港湾水 0.000043m2.℃/W</source>
        <translation>coastal or harbour water  0.000043m2.℃/W</translation>
    </message>
    <message>
        <source>大洋的海水       0.000026m2.℃/W</source>
        <translation>ocean water               0.000026m2.℃/W</translation>
    </message>
    <message>
        <source>河水、运河水     0.000043m2.℃/W</source>
        <translation>river or canal water      0.000043m2.℃/W</translation>
    </message>
    <message>
        <source>机器夹套水       0.000052m2.℃/W</source>
        <translation>machine jacket water      0.000052m2.℃/W</translation>
    </message>
    <message>
        <source>润滑油水         0.000009～0.000043m2.℃/W</source>
        <translation>lubricating-oil water     0.000009-0.000043m2.℃/W</translation>
    </message>
    <message>
        <source>植物油           0.000007～0.000052m2.℃/W</source>
        <translation>vegetable oil             0.000007-0.000052m2.℃/W</translation>
    </message>
    <message>
        <source>有机溶剂         0.000009～0.000026m2.℃/W</source>
        <translation>organic solvents          0.000009-0.000026m2.℃/W</translation>
    </message>
    <message>
        <source>蒸汽             0.000009m2.℃/W</source>
        <translation>steam                     0.000009m2.℃/W</translation>
    </message>
    <message>
        <source>蒸汽表压     蒸汽温度 </source>
        <translation>steam gauge  steam temperature </translation>
    </message>
    <message>
        <source>热介质名称</source>
        <translation>Hot medium</translation>
    </message>
    <message>
        <source>冷介质名称</source>
        <translation>Cold medium</translation>
    </message>
    <message>
        <source>热介质出口温度，℃
范围：所选介质物性数据的温度范围内</source>
        <translation>Hot outlet temperature, ℃
Range: within the property data of the medium</translation>
    </message>
    <message>
        <source>冷介质进口温度，℃
范围：所选介质物性数据的温度范围内</source>
        <translation>Cold inlet temperature, ℃
Range: within the property data of the medium</translation>
    </message>
    <message>
        <source>冷介质出口温度，℃
范围：所选介质物性数据的温度范围内</source>
        <translation>Cold outlet temperature, ℃
Range: within the property data of the medium</translation>
    </message>
    <message>
        <source>设计压力，MPa</source>
        <translation>Design pressure, MPa</translation>
    </message>
    <message>
        <source>板片厚度，mm</source>
        <translation>Plate thickness, mm</translation>
    </message>
    <message>
        <source>接口衬里材质</source>
        <translation>Lining of the connections</translation>
    </message>
    <message>
        <source>板换型号：人工选型和校核计算时选择，自动选型后显示选定的型号</source>
        <translation>Model: chosen for manual selection and check; shows the model picked by automatic selection</translation>
    </message>
    <message>
        <source>板片类型 H、HM、M、ML、L：人工选型和校核计算时选择</source>
        <translation>Channel type H, HM, M, ML, L: chosen for manual selection and check</translation>
    </message>
    <message>
        <source>板换规格：型号-板片数（单台）</source>
        <translation>Designation: model-plate count (per unit)</translation>
    </message>
    <message>
        <source>热侧流道排列：每流程流道数与板型</source>
        <translation>Arrangement on the hot side: channels per pass and type</translation>
    </message>
    <message>
        <source>冷侧流道排列：每流程流道数与板型</source>
        <translation>Arrangement on the cold side: channels per pass and type</translation>
    </message>
    <message>
        <source>并联台数：流量超过一台的能力时平分到几台相同的板换</source>
        <translation>Units in parallel: flows beyond one unit are shared by identical units</translation>
    </message>
    <message>
        <source>热介质接口直径，mm</source>
        <translation>Hot port diameter, mm</translation>
    </message>
    <message>
        <source>冷介质接口直径，mm</source>
        <translation>Cold port diameter, mm</translation>
    </message>
    <message>
        <source>热介质接口流速，m/s</source>
        <translation>Hot port velocity, m/s</translation>
    </message>
    <message>
        <source>冷介质接口流速，m/s</source>
        <translation>Cold port velocity, m/s</translation>
    </message>
    <message>
        <source>热介质接口压降，kPa</source>
        <translation>Hot port pressure drop, kPa</translation>
    </message>
    <message>
        <source>冷介质接口压降，kPa</source>
        <translation>Cold port pressure drop, kPa</translation>
    </message>
    <message>
        <source>热介质计算压降，kPa</source>
        <translation>Hot pressure drop, kPa</translation>
    </message>
    <message>
        <source>冷介质计算压降，kPa</source>
        <translation>Cold pressure drop, kPa</translation>
    </message>
    <message>
        <source>设计裕量（洁净传热系数相对运行传热系数），%</source>
        <translation>Design margin (clean against service coefficient), %</translation>
    </message>
    <message>
        <source>可承受的污垢系数，m2.℃/W</source>
        <translation>Fouling factor the exchanger can carry, m2.℃/W</translation>
    </message>
    <message>
        <source>运行传热系数，W/m2.℃</source>
        <translation>Service heat-transfer coefficient, W/m2.℃</translation>
    </message>
    <message>
        <source>洁净传热系数（无污垢），W/m2.℃</source>
        <translation>Clean heat-transfer coefficient (no fouling), W/m2.℃</translation>
    </message>
    <message>
        <source>对数平均温差，℃</source>
        <translation>Log-mean temperature difference, ℃</translation>
    </message>
    <message>
        <source>换热面积（单台），m2</source>
        <translation>Heat-transfer area (per unit), m2</translation>
    </message>
    <message>
        <source>参考价格（单台），元</source>
        <translation>Reference price (per unit), yuan</translation>
    </message>
    <message>
        <source>运行重量（单台），kg</source>
        <translation>Operating weight (per unit), kg</translation>
    </message>
    <message>
        <source>外形尺寸 长x宽x高，mm</source>
        <translation>Outline length x width x height, mm</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>您确定退出吗？</source>
        <translation>Are you sure you want to exit?</translation>
    </message>
    <message>
        <source>污垢系数太大，请重新输入！</source>
        <translation>Fouling factor too large, please re-enter!</translation>
    </message>
    <message>
        <source>换热量、介质流量缺失，请重新输入！  </source>
        <translation>Heat duty and flows are missing, please enter them!</translation>
    </message>
    <message>
        <source>热介质进口温度必须大于热介质出口温度，请重新输入！</source>
        <translation>The hot inlet temperature must be above the hot outlet temperature, please re-enter!</translation>
    </message>
    <message>
        <source>冷介质进口温度必须小于冷介质出口温度，请重新输入！</source>
        <translation>The cold inlet temperature must be below the cold outlet temperature, please re-enter!</translation>
    </message>
    <message>
        <source>冷介质出水温度必须小于热介质进水温度，请重新输入！ </source>
        <translation>The cold outlet temperature must be below the hot inlet temperature, please re-enter!</translation>
    </message>
    <message>
        <source>冷介质进水温度必须小于热介质出水温度，请重新输入！  </source>
        <translation>The cold inlet temperature must be below the hot outlet temperature, please re-enter!</translation>
    </message>
    <message>
        <source>冷热介质流量、进出口温度数值过多，请删除未知项！  </source>
        <translation>Too many flows and temperatures given for both sides, please clear the unknown one!</translation>
    </message>
    <message>
        <source>冷介质流量、进出口温度数值缺失，请输入未知项！  </source>
        <translation>Cold flow and temperatures are missing, please enter them!</translation>
    </message>
    <message>
        <source>热介质流量数值缺失，请重新输入！  </source>
        <translation>The hot flow is missing, please enter it!</translation>
    </message>
    <message>
        <source>热介质流量、进出口温度数值缺失，请输入未知项！  </source>
        <translation>Hot flow and temperatures are missing, please enter them!</translation>
    </message>
    <message>
        <source>冷介质流量缺失，请重新输入！  </source>
        <translation>The cold flow is missing, please enter it!</translation>
    </message>
    <message>
        <source>换热量、热介质流量、进出口温度数值过多，请删除未知项！  </source>
        <translation>Too many values: heat duty, hot flow and both hot temperatures; please clear the unknown one!</translation>
    </message>
    <message>
        <source>换热量、冷介质流量、进出口温度数值过多，请删除未知项！  </source>
        <translation>Too many values: heat duty, cold flow and both cold temperatures; please clear the unknown one!</translation>
    </message>
    <message>
        <source>校核计算时流道数不能为0，请输入流道数！</source>
        <translation>A check needs channels, please enter the channel counts!</translation>
    </message>
    <message>
        <source>粘度大于20cP，不能采用HM、ML板型，否则会造成流量分配不均而使换热失效！</source>
        <translation>Viscosity above 20 cP: HM and ML cannot be used, the uneven flow split would make the exchanger fail!</translation>
    </message>
    <message>
        <source>计算错误：物性计算中对数平均温差无法计算（冷、热介质温度交叉），请检查温度、流量和换热量！</source>
        <translation>Calculation error: no log-mean temperature difference (the hot and cold temperatures cross); please check temperatures, flows and heat duty!</translation>
    </message>
    <message>
        <source>接口压损大于板间压损的30%，请重新选择换热器型号！</source>
        <translation>Port pressure loss above 30 % of the channel loss, please choose another model!</translation>
    </message>
    <message>
        <source>换热面积超过该型号最大值。请选择改变换热器型号或增大介质压力损失！</source>
        <translation>The area exceeds the largest of this model. Choose another model or allow larger pressure drops!</translation>
    </message>
    <message>
        <source>热平衡不完整：换热量和冷、热介质流量都必须大于0，请补充输入已知项！</source>
        <translation>Heat balance incomplete: heat duty and both flows must be above 0, please enter the known values!</translation>
    </message>
    <message>
        <source>文件为只读。</source>
        <translation>the file is read-only.</translation>
    </message>
    <message>
        <source>物性计算</source>
        <translation>property calculation</translation>
    </message>
    <message>
        <source>板型搜索</source>
        <translation>plate-type search</translation>
    </message>
    <message>
        <source>校验计算结果</source>
        <translation>result checks</translation>
    </message>
    <message>
        <source>结果整理</source>
        <translation>result preparation</translation>
    </message>
    <message>
        <source>冷介质出口温度</source>
        <translation>the cold outlet temperature</translation>
    </message>
    <message>
        <source>冷介质进口温度</source>
        <translation>the cold inlet temperature</translation>
    </message>
    <message>
        <source>热介质出口温度</source>
        <translation>the hot outlet temperature</translation>
    </message>
    <message>
        <source>热介质进口温度</source>
        <translation>the hot inlet temperature</translation>
    </message>
    <message>
        <source>高于热介质进口温度</source>
        <translation>passed the hot inlet temperature</translation>
    </message>
    <message>
        <source>低于冷介质进口温度</source>
        <translation>fallen below the cold inlet temperature</translation>
    </message>
    <message>
        <source>方案比较</source>
        <translation>Alternatives</translation>
    </message>
    <message>
        <source>方案(&amp;A)</source>
        <translation>&amp;Alternatives</translation>
    </message>
    <message>
        <source>采用</source>
        <translation>Adopt</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>设计计算完成后显示各可选方案。</source>
        <translation>The alternatives appear after a design calculation.</translation>
    </message>
    <message>
        <source>★ 为程序选型结果，☆ 为按型号族规则的选型；满足全部限值的方案按总价格、总面积、台数排在前面。</source>
        <translation>★ marks the program's answer, ☆ the pick of the family rule; packs within every limit come first, by total price, total area and units.</translation>
    </message>
    <message>
        <source>选中</source>
        <translation>Choice</translation>
    </message>
    <message>
        <source>板型</source>
        <translation>Plate type</translation>
    </message>
    <message>
        <source>型号</source>
        <translation>Designation</translation>
    </message>
    <message>
        <source>流程</source>
        <translation>Passes</translation>
    </message>
    <message>
        <source>板片数</source>
        <translation>Plates</translation>
    </message>
    <message>
        <source>面积 m2</source>
        <translation>Area m2</translation>
    </message>
    <message>
        <source>传热系数 W/m2.℃</source>
        <translation>Coefficient W/m2.℃</translation>
    </message>
    <message>
        <source>裕量 %</source>
        <translation>Margin %</translation>
    </message>
    <message>
        <source>热侧压降/允许 kPa</source>
        <translation>Hot drop/allowed kPa</translation>
    </message>
    <message>
        <source>冷侧压降/允许 kPa</source>
        <translation>Cold drop/allowed kPa</translation>
    </message>
    <message>
        <source>接口流速热 m/s</source>
        <translation>Hot port velocity m/s</translation>
    </message>
    <message>
        <source>接口流速冷 m/s</source>
        <translation>Cold port velocity m/s</translation>
    </message>
    <message>
        <source>污垢系数 m2.℃/W</source>
        <translation>Fouling m2.℃/W</translation>
    </message>
    <message>
        <source>价格 ￥</source>
        <translation>Price ￥</translation>
    </message>
    <message>
        <source>重量 kg</source>
        <translation>Weight kg</translation>
    </message>
    <message>
        <source>台数</source>
        <translation>Units</translation>
    </message>
    <message>
        <source>总面积 m2</source>
        <translation>Total area m2</translation>
    </message>
    <message>
        <source>总价格 ￥</source>
        <translation>Total price ￥</translation>
    </message>
    <message>
        <source>总重量 kg</source>
        <translation>Total weight kg</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>满足</source>
        <translation>fits</translation>
    </message>
    <message>
        <source>面积超限</source>
        <translation>area above the model's largest</translation>
    </message>
    <message>
        <source>压降超限</source>
        <translation>pressure drop above allowed</translation>
    </message>
    <message>
        <source>接口流速超限</source>
        <translation>port velocity too high</translation>
    </message>
    <message>
        <source>流道数达上限</source>
        <translation>channel limit reached</translation>
    </message>
    <message>
        <source>工程校核警告</source>
        <translation>engineering warning</translation>
    </message>
    <message>
        <source>接口压损占比大</source>
        <translation>port loss share too high</translation>
    </message>
    <message>
        <source>裕量不足</source>
        <translation>margin below required</translation>
    </message>
    <message>
        <source>有警告</source>
        <translation>warning</translation>
    </message>
    <message>
        <source>工况曲线</source>
        <translation>Operating curves</translation>
    </message>
    <message>
        <source>计算完成后显示本板束的工况曲线。</source>
        <translation>The operating curves of the pack are shown once a run has a result.</translation>
    </message>
</context>
</TS>
