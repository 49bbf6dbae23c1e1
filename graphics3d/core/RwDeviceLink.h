/*
===============================================================================

	Weak references of the core to the device.

	Included only by core sources that call a device function by name. The
	declarations below make those references weak, so that a program
	without a device still links; the address of a missing function is
	null and the callers treat that as a refusal.

===============================================================================
*/
#ifndef RW_DEVICE_LINK_H
#define RW_DEVICE_LINK_H

#include "graphics3d/core/RwDevice.h"

RwDevice*	_rwDeviceGetHandle() __attribute__( ( weak ) );
bool		_rwDeviceRegisterPlugin() __attribute__( ( weak ) );
void*		_rwRenderPipelineOpen( void* instance, s32 offset, s32 size ) __attribute__( ( weak ) );
void*		_rwRenderPipelineClose( void* instance, s32 offset, s32 size ) __attribute__( ( weak ) );
void*		_rwIm3DOpen( void* instance, s32 offset, s32 size ) __attribute__( ( weak ) );
void*		_rwIm3DClose( void* instance, s32 offset, s32 size ) __attribute__( ( weak ) );
bool		_rwPipeAttach() __attribute__( ( weak ) );
void		_rwPipeInitForCamera( const RwCamera* camera ) __attribute__( ( weak ) );

#endif
