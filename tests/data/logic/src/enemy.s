# ENEMY: a constructor and a register entry, no destructor; a high-adjusted
# half whose bit 15 is set rounds up.
	.text
	.globl ENEMYConstructor
ENEMYConstructor:
	lis 3, (ENEMYConstructor + 0x8000)@ha
	addi 3, 3, (ENEMYConstructor + 0x8000)@l
	blr
	.globl ENEMYRegister
ENEMYRegister:
	blr
