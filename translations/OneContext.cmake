# SPDX-License-Identifier: MIT
# cmake -DIN=x.ts -DOUT=y.ts -P OneContext.cmake: the same catalogue with every
# text in the context "zorvek", where the program looks texts up.
file(READ "${IN}" text)
string(REGEX REPLACE "<name>[^<]*</name>" "<name>zorvek</name>" text "${text}")
file(WRITE "${OUT}" "${text}")
