# TYPE5: a relocation of a type the linker skips (R_PPC_ADDR16_HI) leaves
# its place as assembled.
	.text
	.globl TYPE5Constructor
TYPE5Constructor:
	.reloc ., R_PPC_ADDR16_HI, TYPE5Constructor + 0x12345678
	.long 0xA1B2C3D4
	blr
