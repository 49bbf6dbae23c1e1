/*
===============================================================================

	Test-only reset of the interpolation-scheme registry.

	Schemes are never removed in the system; tests empty the registry so
	that their cases stay independent.

===============================================================================
*/
#ifndef RT_ANIM_TESTING_H
#define RT_ANIM_TESTING_H

void	_rtAnimResetRegistryForTests();

#endif
