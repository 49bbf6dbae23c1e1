/*
===============================================================================

	Effects library (AXFX), host version.

	The engine installs memory hooks and shuts its effects down, but never
	starts one, so the AUX buses carry nothing. The host records the hooks
	and every shutdown with its parameter-block argument; it processes no
	effect.

===============================================================================
*/
#ifndef AXFX_H
#define AXFX_H

#include "platform/types/PlatformTypes.h"

typedef void* ( *AXFXAllocFunc )( u32 size );
typedef void ( *AXFXFreeFunc )( void* block );

void	AXFXSetHooks( AXFXAllocFunc alloc, AXFXFreeFunc free );
void	AXFXGetHooks( AXFXAllocFunc* alloc, AXFXFreeFunc* free );

// Shut one effect down; the argument is the effect's parameter block.
void	AXFXReverbStdShutdown( void* parameters );
void	AXFXReverbHiShutdown( void* parameters );
void	AXFXDelayShutdown( void* parameters );
void	AXFXChorusShutdown( void* parameters );

#endif
