# MEMCPYREFS: every way a module can name memcpy.
	.text
	.globl MEMCPYREFSConstructor
MEMCPYREFSConstructor:
	bl memcpy
	lis 3, memcpy@ha
	addi 3, 3, memcpy@l
	blr
	.long memcpy
	.long memcpy - .
