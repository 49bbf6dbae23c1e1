#include "platform/mix/MIXVolumeTable.h"

#include "platform/ax/AX.h"

#include <cmath>

u16 VolumeTable[MIX_VOLUME_TABLE_SIZE];

namespace {

struct VolumeTableBuilder {
	VolumeTableBuilder() {
		VolumeTable[0] = 0;
		for ( u32 i = 1; i < MIX_VOLUME_TABLE_SIZE; ++i ) {
			const f64 attenuation = static_cast<f64>( static_cast<s32>( i ) + MIX_ATTENUATION_MIN );
			VolumeTable[i] = static_cast<u16>( std::lround( AX_UNITY_LEVEL * std::pow( 10.0, attenuation / 200.0 ) ) );
		}
	}
};

const VolumeTableBuilder builder;

}

u16 MIXAttenuationToLevel( const s32 attenuation ) {
	if ( attenuation <= MIX_ATTENUATION_MIN ) {
		return 0;
	}
	if ( attenuation >= 0 ) {
		return VolumeTable[MIX_VOLUME_TABLE_SIZE - 1];
	}
	return VolumeTable[attenuation - MIX_ATTENUATION_MIN];
}
