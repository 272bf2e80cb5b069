#include "pixel/Fast.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "pixel/Asm32.h"
#include "pixel/SysMath.h"
#include "platform/QDRect.h"
#include "platform/SysErr.h"
#include "platform/SysFont.h"

namespace {

uint16 g_seed = 0;
a_rand_rec g_rand = {};

// The tables are written out rather than computed at start-up so that every
// build, whatever its maths library, walks the same angles.
// sin(k / 10 degrees) x 16384, k = 0 .. 900, rounded to nearest.
constexpr uint16 kSineTable[901] = {
    0, 29, 57, 86, 114, 143, 172, 200, 229, 257, 286, 315,
    343, 372, 400, 429, 457, 486, 515, 543, 572, 600, 629, 658,
    686, 715, 743, 772, 800, 829, 857, 886, 915, 943, 972, 1000,
    1029, 1057, 1086, 1114, 1143, 1171, 1200, 1228, 1257, 1285, 1314, 1342,
    1371, 1399, 1428, 1456, 1485, 1513, 1542, 1570, 1599, 1627, 1656, 1684,
    1713, 1741, 1769, 1798, 1826, 1855, 1883, 1912, 1940, 1968, 1997, 2025,
    2053, 2082, 2110, 2139, 2167, 2195, 2224, 2252, 2280, 2309, 2337, 2365,
    2393, 2422, 2450, 2478, 2507, 2535, 2563, 2591, 2619, 2648, 2676, 2704,
    2732, 2761, 2789, 2817, 2845, 2873, 2901, 2929, 2958, 2986, 3014, 3042,
    3070, 3098, 3126, 3154, 3182, 3210, 3238, 3266, 3294, 3322, 3350, 3378,
    3406, 3434, 3462, 3490, 3518, 3546, 3574, 3602, 3630, 3658, 3686, 3713,
    3741, 3769, 3797, 3825, 3853, 3880, 3908, 3936, 3964, 3991, 4019, 4047,
    4075, 4102, 4130, 4158, 4185, 4213, 4240, 4268, 4296, 4323, 4351, 4378,
    4406, 4434, 4461, 4489, 4516, 4544, 4571, 4598, 4626, 4653, 4681, 4708,
    4735, 4763, 4790, 4818, 4845, 4872, 4899, 4927, 4954, 4981, 5009, 5036,
    5063, 5090, 5117, 5144, 5172, 5199, 5226, 5253, 5280, 5307, 5334, 5361,
    5388, 5415, 5442, 5469, 5496, 5523, 5550, 5577, 5604, 5631, 5657, 5684,
    5711, 5738, 5765, 5791, 5818, 5845, 5872, 5898, 5925, 5952, 5978, 6005,
    6031, 6058, 6084, 6111, 6138, 6164, 6191, 6217, 6243, 6270, 6296, 6323,
    6349, 6375, 6402, 6428, 6454, 6481, 6507, 6533, 6559, 6586, 6612, 6638,
    6664, 6690, 6716, 6742, 6768, 6794, 6820, 6846, 6872, 6898, 6924, 6950,
    6976, 7002, 7028, 7053, 7079, 7105, 7131, 7157, 7182, 7208, 7234, 7259,
    7285, 7311, 7336, 7362, 7387, 7413, 7438, 7464, 7489, 7515, 7540, 7565,
    7591, 7616, 7641, 7667, 7692, 7717, 7742, 7767, 7793, 7818, 7843, 7868,
    7893, 7918, 7943, 7968, 7993, 8018, 8043, 8068, 8093, 8118, 8142, 8167,
    8192, 8217, 8241, 8266, 8291, 8316, 8340, 8365, 8389, 8414, 8438, 8463,
    8487, 8512, 8536, 8561, 8585, 8609, 8634, 8658, 8682, 8706, 8731, 8755,
    8779, 8803, 8827, 8851, 8875, 8899, 8923, 8947, 8971, 8995, 9019, 9043,
    9067, 9091, 9114, 9138, 9162, 9186, 9209, 9233, 9256, 9280, 9304, 9327,
    9351, 9374, 9397, 9421, 9444, 9468, 9491, 9514, 9538, 9561, 9584, 9607,
    9630, 9653, 9676, 9700, 9723, 9746, 9769, 9791, 9814, 9837, 9860, 9883,
    9906, 9929, 9951, 9974, 9997, 10019, 10042, 10064, 10087, 10110, 10132, 10154,
    10177, 10199, 10222, 10244, 10266, 10289, 10311, 10333, 10355, 10377, 10399, 10422,
    10444, 10466, 10488, 10510, 10531, 10553, 10575, 10597, 10619, 10641, 10662, 10684,
    10706, 10727, 10749, 10770, 10792, 10813, 10835, 10856, 10878, 10899, 10920, 10942,
    10963, 10984, 11005, 11027, 11048, 11069, 11090, 11111, 11132, 11153, 11174, 11195,
    11216, 11236, 11257, 11278, 11299, 11319, 11340, 11361, 11381, 11402, 11422, 11443,
    11463, 11484, 11504, 11524, 11545, 11565, 11585, 11605, 11626, 11646, 11666, 11686,
    11706, 11726, 11746, 11766, 11786, 11806, 11825, 11845, 11865, 11885, 11904, 11924,
    11943, 11963, 11982, 12002, 12021, 12041, 12060, 12080, 12099, 12118, 12137, 12157,
    12176, 12195, 12214, 12233, 12252, 12271, 12290, 12309, 12328, 12346, 12365, 12384,
    12403, 12421, 12440, 12458, 12477, 12496, 12514, 12532, 12551, 12569, 12588, 12606,
    12624, 12642, 12660, 12679, 12697, 12715, 12733, 12751, 12769, 12787, 12804, 12822,
    12840, 12858, 12875, 12893, 12911, 12928, 12946, 12963, 12981, 12998, 13016, 13033,
    13050, 13068, 13085, 13102, 13119, 13136, 13153, 13170, 13187, 13204, 13221, 13238,
    13255, 13272, 13288, 13305, 13322, 13338, 13355, 13372, 13388, 13405, 13421, 13437,
    13454, 13470, 13486, 13502, 13519, 13535, 13551, 13567, 13583, 13599, 13615, 13631,
    13647, 13662, 13678, 13694, 13710, 13725, 13741, 13756, 13772, 13787, 13803, 13818,
    13833, 13849, 13864, 13879, 13894, 13910, 13925, 13940, 13955, 13970, 13985, 13999,
    14014, 14029, 14044, 14059, 14073, 14088, 14102, 14117, 14131, 14146, 14160, 14175,
    14189, 14203, 14217, 14232, 14246, 14260, 14274, 14288, 14302, 14316, 14330, 14344,
    14357, 14371, 14385, 14399, 14412, 14426, 14439, 14453, 14466, 14480, 14493, 14506,
    14520, 14533, 14546, 14559, 14572, 14585, 14598, 14611, 14624, 14637, 14650, 14663,
    14675, 14688, 14701, 14713, 14726, 14738, 14751, 14763, 14776, 14788, 14800, 14812,
    14825, 14837, 14849, 14861, 14873, 14885, 14897, 14909, 14921, 14932, 14944, 14956,
    14968, 14979, 14991, 15002, 15014, 15025, 15036, 15048, 15059, 15070, 15082, 15093,
    15104, 15115, 15126, 15137, 15148, 15159, 15169, 15180, 15191, 15202, 15212, 15223,
    15233, 15244, 15254, 15265, 15275, 15286, 15296, 15306, 15316, 15326, 15336, 15346,
    15356, 15366, 15376, 15386, 15396, 15406, 15415, 15425, 15435, 15444, 15454, 15463,
    15473, 15482, 15491, 15501, 15510, 15519, 15528, 15537, 15546, 15555, 15564, 15573,
    15582, 15591, 15600, 15608, 15617, 15626, 15634, 15643, 15651, 15660, 15668, 15676,
    15685, 15693, 15701, 15709, 15717, 15725, 15733, 15741, 15749, 15757, 15765, 15773,
    15780, 15788, 15796, 15803, 15811, 15818, 15826, 15833, 15840, 15848, 15855, 15862,
    15869, 15876, 15883, 15890, 15897, 15904, 15911, 15918, 15925, 15931, 15938, 15945,
    15951, 15958, 15964, 15970, 15977, 15983, 15989, 15996, 16002, 16008, 16014, 16020,
    16026, 16032, 16038, 16044, 16049, 16055, 16061, 16066, 16072, 16077, 16083, 16088,
    16094, 16099, 16104, 16110, 16115, 16120, 16125, 16130, 16135, 16140, 16145, 16150,
    16155, 16159, 16164, 16169, 16173, 16178, 16182, 16187, 16191, 16195, 16200, 16204,
    16208, 16212, 16216, 16221, 16225, 16229, 16232, 16236, 16240, 16244, 16248, 16251,
    16255, 16258, 16262, 16265, 16269, 16272, 16275, 16279, 16282, 16285, 16288, 16291,
    16294, 16297, 16300, 16303, 16306, 16309, 16311, 16314, 16317, 16319, 16322, 16324,
    16327, 16329, 16331, 16333, 16336, 16338, 16340, 16342, 16344, 16346, 16348, 16350,
    16352, 16353, 16355, 16357, 16358, 16360, 16362, 16363, 16364, 16366, 16367, 16368,
    16370, 16371, 16372, 16373, 16374, 16375, 16376, 16377, 16378, 16378, 16379, 16380,
    16380, 16381, 16382, 16382, 16382, 16383, 16383, 16383, 16384, 16384, 16384, 16384,
    16384,
};

// tan(k / 10 degrees) x 8192, k = 0 .. 900, rounded to nearest, computed in single precision;
// entry 900 stands in for the infinite tangent of 90 degrees.
constexpr int32 kTangentTable[901] = {
    0, 14, 29, 43, 57, 71, 86, 100, 114, 129,
    143, 157, 172, 186, 200, 215, 229, 243, 257, 272,
    286, 300, 315, 329, 343, 358, 372, 386, 401, 415,
    429, 444, 458, 472, 487, 501, 515, 530, 544, 558,
    573, 587, 602, 616, 630, 645, 659, 674, 688, 702,
    717, 731, 746, 760, 774, 789, 803, 818, 832, 847,
    861, 875, 890, 904, 919, 933, 948, 962, 977, 991,
    1006, 1020, 1035, 1049, 1064, 1078, 1093, 1108, 1122, 1137,
    1151, 1166, 1180, 1195, 1210, 1224, 1239, 1254, 1268, 1283,
    1297, 1312, 1327, 1341, 1356, 1371, 1386, 1400, 1415, 1430,
    1444, 1459, 1474, 1489, 1504, 1518, 1533, 1548, 1563, 1578,
    1592, 1607, 1622, 1637, 1652, 1667, 1682, 1696, 1711, 1726,
    1741, 1756, 1771, 1786, 1801, 1816, 1831, 1846, 1861, 1876,
    1891, 1906, 1921, 1937, 1952, 1967, 1982, 1997, 2012, 2027,
    2042, 2058, 2073, 2088, 2103, 2119, 2134, 2149, 2164, 2180,
    2195, 2210, 2226, 2241, 2256, 2272, 2287, 2303, 2318, 2334,
    2349, 2364, 2380, 2396, 2411, 2427, 2442, 2458, 2473, 2489,
    2505, 2520, 2536, 2552, 2567, 2583, 2599, 2614, 2630, 2646,
    2662, 2678, 2693, 2709, 2725, 2741, 2757, 2773, 2789, 2805,
    2821, 2837, 2853, 2869, 2885, 2901, 2917, 2933, 2949, 2965,
    2982, 2998, 3014, 3030, 3047, 3063, 3079, 3095, 3112, 3128,
    3145, 3161, 3177, 3194, 3210, 3227, 3243, 3260, 3277, 3293,
    3310, 3326, 3343, 3360, 3376, 3393, 3410, 3427, 3444, 3460,
    3477, 3494, 3511, 3528, 3545, 3562, 3579, 3596, 3613, 3630,
    3647, 3664, 3682, 3699, 3716, 3733, 3751, 3768, 3785, 3803,
    3820, 3837, 3855, 3872, 3890, 3907, 3925, 3943, 3960, 3978,
    3996, 4013, 4031, 4049, 4067, 4084, 4102, 4120, 4138, 4156,
    4174, 4192, 4210, 4228, 4246, 4264, 4283, 4301, 4319, 4337,
    4356, 4374, 4393, 4411, 4429, 4448, 4466, 4485, 4504, 4522,
    4541, 4560, 4578, 4597, 4616, 4635, 4654, 4673, 4692, 4711,
    4730, 4749, 4768, 4787, 4806, 4825, 4845, 4864, 4883, 4903,
    4922, 4942, 4961, 4981, 5000, 5020, 5040, 5059, 5079, 5099,
    5119, 5139, 5159, 5179, 5199, 5219, 5239, 5259, 5279, 5300,
    5320, 5340, 5361, 5381, 5402, 5422, 5443, 5463, 5484, 5505,
    5526, 5546, 5567, 5588, 5609, 5630, 5651, 5672, 5694, 5715,
    5736, 5757, 5779, 5800, 5822, 5843, 5865, 5887, 5908, 5930,
    5952, 5974, 5996, 6018, 6040, 6062, 6084, 6106, 6128, 6151,
    6173, 6196, 6218, 6241, 6263, 6286, 6309, 6331, 6354, 6377,
    6400, 6423, 6446, 6470, 6493, 6516, 6540, 6563, 6587, 6610,
    6634, 6657, 6681, 6705, 6729, 6753, 6777, 6801, 6825, 6850,
    6874, 6898, 6923, 6947, 6972, 6997, 7021, 7046, 7071, 7096,
    7121, 7146, 7172, 7197, 7222, 7248, 7273, 7299, 7324, 7350,
    7376, 7402, 7428, 7454, 7480, 7507, 7533, 7559, 7586, 7612,
    7639, 7666, 7693, 7720, 7747, 7774, 7801, 7828, 7856, 7883,
    7911, 7939, 7966, 7994, 8022, 8050, 8078, 8107, 8135, 8163,
    8192, 8221, 8249, 8278, 8307, 8336, 8365, 8395, 8424, 8453,
    8483, 8513, 8543, 8572, 8602, 8633, 8663, 8693, 8724, 8754,
    8785, 8816, 8847, 8878, 8909, 8940, 8971, 9003, 9035, 9066,
    9098, 9130, 9162, 9194, 9227, 9259, 9292, 9325, 9358, 9391,
    9424, 9457, 9491, 9524, 9558, 9592, 9626, 9660, 9694, 9728,
    9763, 9798, 9832, 9867, 9902, 9938, 9973, 10009, 10044, 10080,
    10116, 10152, 10189, 10225, 10262, 10299, 10336, 10373, 10410, 10448,
    10485, 10523, 10561, 10599, 10638, 10676, 10715, 10754, 10793, 10832,
    10871, 10911, 10950, 10990, 11031, 11071, 11111, 11152, 11193, 11234,
    11275, 11317, 11358, 11400, 11442, 11485, 11527, 11570, 11613, 11656,
    11699, 11743, 11787, 11831, 11875, 11919, 11964, 12009, 12054, 12100,
    12145, 12191, 12237, 12283, 12330, 12377, 12424, 12471, 12519, 12567,
    12615, 12663, 12711, 12760, 12809, 12859, 12909, 12958, 13009, 13059,
    13110, 13161, 13212, 13264, 13316, 13368, 13421, 13473, 13527, 13580,
    13634, 13688, 13742, 13797, 13852, 13907, 13963, 14019, 14075, 14132,
    14189, 14246, 14304, 14362, 14421, 14479, 14538, 14598, 14658, 14718,
    14779, 14840, 14901, 14963, 15025, 15088, 15151, 15214, 15278, 15342,
    15407, 15472, 15538, 15603, 15670, 15737, 15804, 15872, 15940, 16009,
    16078, 16147, 16217, 16288, 16359, 16431, 16503, 16575, 16648, 16722,
    16796, 16871, 16946, 17022, 17098, 17175, 17252, 17330, 17409, 17488,
    17568, 17648, 17729, 17811, 17893, 17976, 18059, 18143, 18228, 18313,
    18400, 18486, 18574, 18662, 18751, 18840, 18931, 19022, 19113, 19206,
    19299, 19393, 19488, 19584, 19680, 19777, 19875, 19974, 20074, 20174,
    20276, 20378, 20481, 20586, 20691, 20797, 20904, 21011, 21120, 21230,
    21341, 21453, 21566, 21680, 21794, 21911, 22028, 22146, 22265, 22386,
    22507, 22630, 22754, 22879, 23006, 23133, 23262, 23393, 23524, 23657,
    23791, 23927, 24064, 24202, 24342, 24483, 24626, 24770, 24916, 25063,
    25212, 25363, 25515, 25669, 25824, 25982, 26141, 26301, 26464, 26629,
    26795, 26963, 27133, 27305, 27480, 27656, 27834, 28014, 28197, 28382,
    28569, 28758, 28950, 29144, 29340, 29539, 29741, 29945, 30152, 30361,
    30573, 30788, 31005, 31226, 31450, 31676, 31906, 32138, 32374, 32614,
    32856, 33102, 33352, 33605, 33862, 34122, 34386, 34655, 34927, 35203,
    35483, 35768, 36057, 36351, 36649, 36952, 37259, 37572, 37890, 38212,
    38540, 38874, 39213, 39558, 39908, 40265, 40628, 40997, 41373, 41755,
    42144, 42540, 42944, 43355, 43774, 44200, 44635, 45078, 45529, 45990,
    46459, 46938, 47427, 47925, 48434, 48953, 49484, 50026, 50579, 51144,
    51722, 52313, 52917, 53535, 54167, 54814, 55476, 56154, 56849, 57560,
    58289, 59037, 59803, 60589, 61396, 62224, 63075, 63949, 64846, 65769,
    66719, 67695, 68700, 69735, 70801, 71900, 73033, 74202, 75409, 76654,
    77942, 79272, 80649, 82073, 83548, 85077, 86662, 88307, 90015, 91790,
    93635, 95555, 97556, 99641, 101817, 104089, 106465, 108950, 111554, 114284,
    117151, 120165, 123336, 126680, 130208, 133938, 137887, 142075, 146525, 151261,
    156313, 161712, 167498, 173711, 180402, 187627, 195455, 203963, 213244, 223408,
    234588, 246945, 260674, 276018, 293278, 312839, 335195, 360989, 391082, 426645,
    469320, 521477, 586668, 670488, 782247, 938707, 1173397, 1564543, 2346836, 4693746,
    9387092,
};

uint16 Swap16(uint16 v) { return uint16((v >> 8) | (v << 8)); }

uint32 Swap32(uint32 v) {
  return (v >> 24) | ((v >> 8) & 0x0000FF00u) | ((v << 8) & 0x00FF0000u) | (v << 24);
}

// A conversion from real to integer that stays defined for every input:
// NaN gives 0, values beyond the range give its ends.
int32 Trunc_To_Int32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32>::min();
  return int32(v);
}

// One step of the 16-bit generator.
uint16 Step(uint16 seed) { return uint16(uint32(seed) * 25173u + 13849u); }

// minval + (width x seed) >> 16 with width taken as unsigned 16 bits, so a
// range wider than 32767 still lands inside minval .. maxval.
int16 Scale_Random(uint16 seed, int16 minval, int16 maxval) {
  const uint16 width = uint16(int32(maxval) - int32(minval) + 1);
  return int16(int32(minval) + int32((uint32(width) * seed) >> 16));
}

}  // namespace

void Fast_Init() {
  // The font list is sorted with the program's sort.
  g_sort_array_proc = SortArray;
  Init_RandRec(g_rand);
  g_seed = 0;
}

uint16 Random_Seed() { return g_seed; }

std::span<const uint16, 901> Fast_Sine_Table() { return std::span<const uint16, 901>(kSineTable); }
std::span<const int32, 901> Fast_Tangent_Table() {
  return std::span<const int32, 901>(kTangentTable);
}

// ---------------------------------------------------------------------------
// Rectangles and points
// ---------------------------------------------------------------------------

int16 RectV(const Rect& r) { return int16(r.bottom - r.top); }
int16 RectH(const Rect& r) { return int16(r.right - r.left); }

void RectSize(const Rect& r, Point& s) {
  s.h = RectH(r);
  s.v = RectV(r);
}

int32 RectArea(const Rect& r) { return int32(RectH(r)) * int32(RectV(r)); }

void RectCenter(const Rect& r, Point& c) {
  c.h = int16(int16(r.left + r.right) / 2);
  c.v = int16(int16(r.top + r.bottom) / 2);
}

bool EqualRectSize(const Rect& r1, const Rect& r2) {
  return RectH(r1) == RectH(r2) && RectV(r1) == RectV(r2);
}

bool RectContainsRect(const Rect& outer, const Rect& inner) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

void UnionRect2(const Rect& a, const Rect& b, Rect& c) {
  if (a.right <= a.left || a.bottom <= a.top) {
    c = b;
  } else if (b.right <= b.left || b.bottom <= b.top) {
    c = a;
  } else {
    const Rect u{Min(a.top, b.top), Min(a.left, b.left), Max(a.bottom, b.bottom),
                 Max(a.right, b.right)};
    c = u;
  }
}

void SetRect2(Rect& r, int16 cornerx, int16 cornery, int16 sizeh, int16 sizev) {
  r.left = cornerx;
  r.top = cornery;
  r.right = int16(cornerx + sizeh);
  r.bottom = int16(cornery + sizev);
}

void SetRectCenter(Rect& r, int16 centerx, int16 centery, int16 sizex, int16 sizey) {
  r.left = int16(centerx - sizex / 2);
  r.top = int16(centery - sizey / 2);
  r.right = int16(r.left + sizex);
  r.bottom = int16(r.top + sizey);
}

void SetRectFix(Rect& r, int16 left, int16 top, int16 right, int16 bottom) {
  r.left = Min(left, right);
  r.right = Max(left, right);
  r.top = Min(top, bottom);
  r.bottom = Max(top, bottom);
}

void Center_Rect_On_Point(Point center, Rect& r) {
  Point c;
  RectCenter(r, c);
  OffsetRect(r, int16(center.h - c.h), int16(center.v - c.v));
}

void CenterRectInRect(const Rect& outer, Rect& inner) {
  const int32 dh = ((int32(outer.left) + outer.right) - (int32(inner.left) + inner.right)) / 2;
  const int32 dv = ((int32(outer.top) + outer.bottom) - (int32(inner.top) + inner.bottom)) / 2;
  OffsetRect(inner, int16(dh), int16(dv));
}

void Calc_Rect_Fit(const Rect& src_bounds, const Rect& dst_bounds, Rect& fit_bounds) {
  Point src_size, dst_size, size;
  RectSize(src_bounds, src_size);
  RectSize(dst_bounds, dst_size);
  size = src_size;
  if (src_size.h > dst_size.h || src_size.v > dst_size.v) {
    a_ratio reduction;
    Calc_Reduction(src_size, dst_size, 0, reduction);
    Apply_Reduction(src_size, reduction, size);
  }
  Point c;
  RectCenter(dst_bounds, c);
  SetRectCenter(fit_bounds, c.h, c.v, size.h, size.v);
}

void ScaleRect(a_ratio factor, const Rect& rectA, Rect& rectB) {
  // A zero denominator would divide by zero; such a factor leaves the rectangle as it is.
  if (factor.num == factor.den || factor.den == 0) {
    rectB = rectA;
    return;
  }
  auto scale = [&](int16 c) { return int16(int16(int32(c) * factor.num) / factor.den); };
  const Rect r{scale(rectA.top), scale(rectA.left), scale(rectA.bottom), scale(rectA.right)};
  rectB = r;
}

void ForcePointInRect(const Rect& box, Point& p) {
  if (p.h < box.left) {
    p.h = box.left;
  } else if (p.h >= box.right) {
    p.h = int16(box.right - 1);
  }
  if (p.v < box.top) {
    p.v = box.top;
  } else if (p.v >= box.bottom) {
    p.v = box.bottom;
  }
}

void Calc_Reduction(Point src_size, Point dst_size, int16 indent, a_ratio& reduction) {
  const a_ratio ratio_h{int16(dst_size.h - indent), src_size.h};
  const a_ratio ratio_v{int16(dst_size.v - indent), src_size.v};
  // Compare num/den by cross-multiplication; ties keep the horizontal ratio.
  if (int32(ratio_h.num) * ratio_v.den > int32(ratio_v.num) * ratio_h.den) {
    reduction = ratio_v;
  } else {
    reduction = ratio_h;
  }
  // A reduction never enlarges.
  if (reduction.num > reduction.den) reduction = a_ratio{1, 1};
}

void Apply_Reduction(Point in_size, a_ratio reduction, Point& out_size) {
  if (reduction.num == reduction.den) {
    out_size = in_size;
    return;
  }
  out_size.h = Asm32_Fraction(in_size.h, reduction.num, reduction.den);
  out_size.v = Asm32_Fraction(in_size.v, reduction.num, reduction.den);
}

void Apply_Reduction_Rect(const Rect& src, a_ratio reduction, Rect& dst) {
  Point tl{src.top, src.left}, br{src.bottom, src.right};
  Apply_Reduction(tl, reduction, tl);
  Apply_Reduction(br, reduction, br);
  const Rect r{tl.v, tl.h, br.v, br.h};
  dst = r;
}

int16 Int_Half(int16 n) { return int16(n / 3); }
int16 Int_Double(int16 n) { return int16(n * 3); }

void Point_Half(Point& p) {
  p.h = Int_Half(p.h);
  p.v = Int_Half(p.v);
}

void Point_Double(Point& p) {
  p.h = Int_Double(p.h);
  p.v = Int_Double(p.v);
}

void Rect_Half(Rect& r) {
  r.top = Int_Half(r.top);
  r.left = Int_Half(r.left);
  r.bottom = Int_Half(r.bottom);
  r.right = Int_Half(r.right);
}

void Rect_Double(Rect& r) {
  r.top = Int_Double(r.top);
  r.left = Int_Double(r.left);
  r.bottom = Int_Double(r.bottom);
  r.right = Int_Double(r.right);
}

// ---------------------------------------------------------------------------
// Numbers
// ---------------------------------------------------------------------------

int16 Sign(int32 val) { return val < 0 ? -1 : 1; }
int16 Min(int16 a, int16 b) { return a < b ? a : b; }
int16 Max(int16 a, int16 b) { return a > b ? a : b; }
float MinR(float a, float b) { return a < b ? a : b; }
float MaxR(float a, float b) { return a > b ? a : b; }

void Subtract_Guarded(uint32& a, uint32 b) { a = a < b ? 0 : a - b; }

int32 RoundReal(float val) {
  // The half is added in double precision: in single precision
  // 0.49999997 + 0.5 would already round up to 1.
  const double v = val;
  return v >= 0 ? Trunc_To_Int32(v + 0.5) : Trunc_To_Int32(v - 0.5);
}

// The rounding routines work in 64 bits and wrap the result to 32, so that no
// input overflows. A zero interval has no multiples; the value is returned
// as it is rather than dividing by zero.
int32 RoundUp(int32 n, int32 interval) {
  if (interval == 0) return n;
  const int64 i = interval;
  const int64 q = n >= 0 ? (int64(n) + i - 1) / i : (int64(n) - i + 1) / i;
  return int32(q * i);
}

int32 RoundDown(int32 n, int32 interval) {
  if (interval == 0) return n;
  const int64 i = interval;
  const int64 q = n >= 0 ? int64(n) / i : (int64(n) + 1 - i) / i;
  return int32(q * i);
}

int32 RoundNearest(int32 n, int32 interval) {
  if (interval == 1 || interval == 0) return n;
  const int64 i = interval;
  const int64 h = n >= 0 ? i / 2 : -(i / 2);
  return int32((int64(n) + h) / i * i);
}

int32 LongSqrt(int32 n) {
  if (n <= 0) return n;
  // Newton's iteration from n / 16 + 1; for every positive 32-bit n it
  // settles within 17 rounds.
  int32 x = n / 16 + 1;
  for (;;) {
    const int32 y = (n / x + x + 1) / 2;
    if (y == x) return y;
    x = y;
  }
}

int32 Point2PointSquared(Point pointA, Point pointB) {
  const int64 dh = int16(pointB.h - pointA.h);
  const int64 dv = int16(pointB.v - pointA.v);
  const int64 d = dh * dh + dv * dv;
  // Only two differences of -32768 exceed 32 bits; they saturate.
  return d > std::numeric_limits<int32>::max() ? std::numeric_limits<int32>::max() : int32(d);
}

int32 Point2PointDistance(Point pointA, Point pointB) {
  return LongSqrt(Point2PointSquared(pointA, pointB));
}

int32 Point2LineDistance(Point, Point, Point) {
  QUIT();
  return 0;
}

int16 Interpolate(int16 inval, int16 inputA, int16 inputB, int16 outputC, int16 outputD) {
  if (inputA == inputB) return outputD;
  const int16 dout = int16(outputD - outputC);
  const int16 din = int16(inval - inputA);
  const int16 dab = int16(inputB - inputA);  // never 0 for distinct inputs
  return int16(outputC + (int32(dout) * din) / dab);
}

int16 Interpolate_Rounded(int16 inval, int16 inputA, int16 inputB, int16 outputC,
                          int16 outputD) {
  if (inval <= inputA) return outputC;
  if (inval >= inputB) return outputD;
  // Here inputA < inval < inputB. The differences are taken in 32 bits so a
  // span wider than 32767 does not change sign.
  const int64 dab = int32(inputB) - inputA;
  const int64 num = (int64(outputD) - outputC) * (int64(inval) - inputA) + dab / 2;
  return int16(outputC + num / dab);
}

int16 Interpolate_Bounded(int16 inval, int16 inputA, int16 inputB, int16 outputC,
                          int16 outputD) {
  if (inval <= inputA) return outputC;
  if (inval >= inputB) return outputD;
  return Interpolate(inval, inputA, inputB, outputC, outputD);
}

float InterpolateReal(float inval, float inputA, float inputB, float outputC, float outputD) {
  if (inputA == inputB) return outputD;
  return (inval - inputA) * (outputD - outputC) / (inputB - inputA) + outputC;
}

void Fractalize(std::span<int16> a, int16 startx, int16 stopx, int16 range) {
  const uint16 mid = uint16(uint16(uint16(startx) + uint16(stopx)) >> 1);
  if (mid == uint16(startx) || mid == uint16(stopx)) return;
  // Indices outside the array are left alone.
  const size_t n = a.size();
  if (startx < 0 || stopx < 0 || size_t(startx) >= n || size_t(stopx) >= n || mid >= n) return;
  int16 value = int16(int16(a[size_t(startx)] + a[size_t(stopx)]) / 2);
  if (value > range && range > 1) value = int16(value + RandomRange(int16(-range), range));
  a[mid] = value;
  Fractalize(a, startx, int16(mid), int16(range - 1));
  Fractalize(a, int16(mid), stopx, int16(range - 1));
}

// ---------------------------------------------------------------------------
// Angles
// ---------------------------------------------------------------------------

int16 Normalize_Angle(int16 angle) {
  int32 a = angle;
  while (a >= 3600) a -= 3600;
  while (a < 0) a += 3600;
  return int16(a);
}

int16 IntSin(int16 degrees) {
  const int16 n = Normalize_Angle(degrees);
  if (n < 901) return int16(kSineTable[n]);
  if (n <= 1800) return int16(kSineTable[1800 - n]);
  if (n <= 2700) return int16(-int32(kSineTable[n - 1800]));
  return int16(-int32(kSineTable[3600 - n]));
}

int16 IntCos(int16 degrees) {
  const int16 n = Normalize_Angle(degrees);
  int32 k;
  bool negative;
  if (n < 901) {
    k = n;
    negative = false;
  } else if (n < 1801) {
    k = 1800 - n;
    negative = true;
  } else if (n > 2700) {
    k = 3600 - n;
    negative = false;
  } else {
    k = n - 1800;
    negative = true;
  }
  const int32 v = kSineTable[900 - k];
  return int16(negative ? -v : v);
}

int16 ArcCos(int16 val) {
  // Values beyond +-1.0 are taken as +-1.0: the walk would otherwise run off the table.
  int32 a = val < 0 ? -int32(val) : int32(val);
  if (a > 16384) a = 16384;
  int32 k = 0;
  while (kSineTable[k] < a) ++k;
  const int32 angle = 900 - k;
  return int16(val >= 0 ? angle : 1800 - angle);
}

int16 SegmentAngle(Point pointA, Point pointB) {
  const int16 dx = int16(pointB.h - pointA.h);
  const int16 dy = int16(pointB.v - pointA.v);
  int quadrant;
  if (dx < 0) {
    quadrant = dy <= 0 ? 1 : 2;
  } else {
    quadrant = dy <= 0 ? 0 : 3;
  }
  const int32 adx = dx < 0 ? -int32(dx) : int32(dx);
  const int32 ady = dy < 0 ? -int32(dy) : int32(dy);
  int32 a;
  if (adx == 0 || ady / adx >= 1145) {
    a = 900;
  } else {
    const int32 t = ady * 8192 / adx;
    int32 lo = 0, hi = 900;
    a = -1;
    while (lo <= hi) {
      const int32 mid = (lo + hi) / 2;
      if (t == kTangentTable[mid]) {
        a = mid;
        break;
      }
      if (t > kTangentTable[mid]) {
        lo = mid + 1;
      } else {
        hi = mid - 1;
      }
    }
    if (a < 0) {
      // Between two entries: the nearer one, hi on a tie.
      if (hi < 0) {
        a = lo;
      } else if (lo > 900) {
        a = hi;
      } else {
        a = (kTangentTable[lo] - t < t - kTangentTable[hi]) ? lo : hi;
      }
    }
  }
  int32 result;
  switch (quadrant) {
    case 0: result = a; break;
    case 1: result = 1800 - a; break;
    case 2: result = 1800 + a; break;
    default: result = 3600 - a; break;
  }
  if (result == 3600) result = 0;
  return int16(result);
}

void AngleBetweenLines(Point A, Point B, Point C, Point D, int16& angle) {
  if (EqualPt(A, B) || EqualPt(C, D)) {
    angle = 0;
    return;
  }
  int32 a = int32(SegmentAngle(C, D)) - SegmentAngle(A, B);
  if (a > 1800) a -= 3600;
  if (a < -1800) a += 3600;
  angle = int16(a);
}

int16 CalcOctant(Point pointA, Point pointB) {
  const int16 dx = int16(pointB.h - pointA.h);
  const int16 dy = int16(pointB.v - pointA.v);
  int32 t;
  if (dx != 0) {
    t = int32(dy) * 8192 / dx;
  } else {
    t = dy < 0 ? -32000 : 32000;
  }
  if (dx >= 0) {
    if (t > 19775) return 2;
    if (t > 3391) return 1;
    if (t > -3391) return 0;
    if (t > -19775) return 7;
    return 6;
  }
  if (t < -19775) return 2;
  if (t < -3391) return 3;
  if (t < 3391) return 4;
  if (t < 19775) return 5;
  return 6;
}

float DyDx_To_Angle(float dy, float dx) {
  return float(double(arctan2(dy, dx)) * 57.29577951308232);
}

// ---------------------------------------------------------------------------
// Random numbers
// ---------------------------------------------------------------------------

uint16 RandomCard(uint16& seed) {
  seed = Step(seed);
  return seed;
}

int16 RandomRange(int16 minval, int16 maxval) { return RandomRangeS(g_seed, minval, maxval); }

int16 RandomRangeS(uint16& seed, int16 minval, int16 maxval) {
  if (minval == maxval) return minval;
  seed = Step(seed);
  return Scale_Random(seed, minval, maxval);
}

void RandomPoint(uint16& seed, int16 spread, int16 radius, Point& result) {
  // A negative radius has no disc and a spread below 1 no draws to average;
  // both give the centre instead of looping or dividing by zero.
  if (radius < 0 || spread < 1) {
    result = Point{0, 0};
    return;
  }
  const uint32 span = 2u * uint32(radius) + 1u;
  // The disc test is made in 32 bits: a 16-bit square wraps above radius 127
  // and would accept far points or never accept any.
  const int64 limit = int64(radius) * radius;
  int32 dx, dy;
  do {
    dx = 0;
    dy = 0;
    for (int16 i = 0; i < spread; ++i) {
      seed = Step(seed);
      dx += int32((uint32(seed) * span) >> 16) - radius;
      seed = Step(seed);
      dy += int32((uint32(seed) * span) >> 16) - radius;
    }
    dx /= spread;
    dy /= spread;
  } while (int64(dx) * dx + int64(dy) * dy > limit);
  result.h = int16(dx);
  result.v = int16(dy);
}

void Init_RandRec(a_rand_rec& table) {
  uint16 seed = 0;
  bool odd = false;
  while (!odd) {
    for (uint16& entry : table.list) {
      entry = RandomCard(seed);
      if (entry & 1) odd = true;
    }
  }
  table.ii = 17;
  table.jj = 5;
}

// ---------------------------------------------------------------------------
// Byte order
// ---------------------------------------------------------------------------

uint16 IntelCard16(uint16 val) { return val; }
int16 IntelInt16(int16 val) { return val; }
uint32 IntelCard32(uint32 val) { return val; }
int32 IntelInt32(int32 val) { return val; }
void IntelPoint(Point old, Point& out) { out = old; }
void IntelRect(const Rect& old, Rect& out) { out = old; }

uint16 MotorolaCard16(uint16 val) { return Swap16(val); }
int16 MotorolaInt16(int16 val) { return int16(Swap16(uint16(val))); }
uint32 MotorolaCard32(uint32 val) { return Swap32(val); }
int32 MotorolaInt32(int32 val) { return int32(Swap32(uint32(val))); }

void MotorolaPoint(Point old, Point& out) {
  out.v = MotorolaInt16(old.v);
  out.h = MotorolaInt16(old.h);
}

void MotorolaRect(const Rect& old, Rect& out) {
  const Rect r{MotorolaInt16(old.top), MotorolaInt16(old.left), MotorolaInt16(old.bottom),
               MotorolaInt16(old.right)};
  out = r;
}

void MotorolaCodec(OSType old, OSType& out) { out = Swap32(old); }

void OSType_To_Str4(OSType old, char (&str)[4]) {
  str[0] = char(old >> 24);
  str[1] = char((old >> 16) & 0xFF);
  str[2] = char((old >> 8) & 0xFF);
  str[3] = char(old & 0xFF);
}

uint32 OSType_To_CARD32(OSType old) { return old; }
void CARD32_To_OSType(uint32 old, OSType& out) { out = old; }

bool Eq_Str4(CStrSpan a, CStrSpan b) {
  // Characters beyond the end of an array count as NUL.
  for (size_t i = 0; i < 4; ++i) {
    const char ca = i < a.size() ? a[i] : '\0';
    const char cb = i < b.size() ? b[i] : '\0';
    if (ca != cb) return false;
  }
  return true;
}

bool Eq_OSType(OSType a, OSType b) { return a == b; }

// ---------------------------------------------------------------------------
// Comparison and sorting
// ---------------------------------------------------------------------------

int16 CompareBytes(const void* adrA, const void* adrB, int16 len) {
  const auto* pa = static_cast<const uint8*>(adrA);
  const auto* pb = static_cast<const uint8*>(adrB);
  for (int16 i = 0; i < len; ++i) {
    if (pa[i] != pb[i]) return pa[i] > pb[i] ? 1 : -1;
  }
  return 0;
}

int16 CompareChunks(const void* a, const void* b, int16 bytes_per_chunk, int32 tot_len) {
  const auto* pa = static_cast<const uint8*>(a);
  const auto* pb = static_cast<const uint8*>(b);
  if (tot_len <= 0) return 0;
  if (bytes_per_chunk == 1) {
    for (int32 i = 0; i < tot_len; ++i) {
      if (pa[i] != pb[i]) return pa[i] > pb[i] ? 1 : -1;
    }
    return 0;
  }
  if (bytes_per_chunk == 4) {
    // Words in machine order; a tail of fewer than 4 bytes is not compared.
    for (int32 i = 0; tot_len - i >= 4; i += 4) {
      uint32 wa, wb;
      std::memcpy(&wa, pa + i, 4);
      std::memcpy(&wb, pb + i, 4);
      if (wa != wb) return wa > wb ? 1 : -1;
    }
    return 0;
  }
  for (int32 i = 0; tot_len - i >= 2; i += 2) {
    uint16 wa, wb;
    std::memcpy(&wa, pa + i, 2);
    std::memcpy(&wb, pb + i, 2);
    if (wa != wb) return wa > wb ? 1 : -1;
  }
  return 0;
}

void SortArray(bool ascending, void* table, int16 itemlen, int16 chunk, int32 nitems) {
  if (nitems < 2) return;
  if (itemlen > 1024) {
    QUIT();
    return;
  }
  if (itemlen <= 0) return;
  auto* base = static_cast<uint8*>(table);
  const size_t len = size_t(itemlen);
  // Records are numbered 1 to n.
  auto rec = [&](int64 i) { return base + size_t(i - 1) * len; };
  auto less = [&](const uint8* x, const uint8* y) {
    return CompareChunks(x, y, chunk, itemlen) < 0;
  };
  uint8 held[1024];
  const int64 n = nitems;
  int64 l = n / 2 + 1;
  int64 ir = n;
  for (;;) {
    if (l > 1) {
      --l;
      std::memcpy(held, rec(l), len);
    } else {
      std::memcpy(held, rec(ir), len);
      std::memcpy(rec(ir), rec(1), len);
      --ir;
      if (ir == 1) {
        std::memcpy(rec(1), held, len);
        return;
      }
    }
    int64 i = l;
    int64 j = 2 * l;
    while (j <= ir) {
      if (j < ir && less(rec(j), rec(j + 1)) == ascending) ++j;
      if (less(held, rec(j)) == ascending) {
        std::memcpy(rec(i), rec(j), len);
        i = j;
        j = 2 * j;
      } else {
        j = ir + 1;
      }
    }
    std::memcpy(rec(i), held, len);
  }
}
