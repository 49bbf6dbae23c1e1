/*
===============================================================================

	Bank of the library modules linked for the level. Placeholder body:
	no module is linked, so Destroy has nothing to release.

===============================================================================
*/
#ifndef EF_CUSTOM_LIB_BANK_H
#define EF_CUSTOM_LIB_BANK_H

class EFCustomLibBank {
public:
	static void				Destroy();
};

#endif
