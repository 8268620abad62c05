[playlist]
File1=/media/a b.avi
Title1=a b.avi
Length1=60
B1=12.500000
E1=60.000000
File2=sub/c.mp3
Length2=95
File3=/media/d.ogg
NumberOfEntries=3
Version=2