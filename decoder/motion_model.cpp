#include "decoder/motion_model.h"
#include <algorithm>
#include <cmath>

namespace {

const double kWarmRate = 0.3;  // of a new frame learnt while warming up
const double kRate = 0.08;     // then, for a quiet sample
// A sample that moved and then held still for this many looks (something
// left standing, or the background a thing had hidden) is background again.
const uint8_t kStillLooks = 4;
const double kStartNoise = 2.0;  // grey levels, before any was learnt
// A region flatter than this (variance of its background, grey levels
// squared) gives no gain to fit: only the offset is.
const double kFlatVariance = 16.0;

}  // namespace

CMotionModel::CMotionModel(int sensitivity)
{
    const int s = std::clamp(sensitivity, 1, 10);
    m_factor = 2.5 + 0.5 * (10 - s);
    m_floor = 3.0 + 0.5 * (10 - s);
    m_minShare = 0.003 * std::pow(16.0, (10 - s) / 9.0);
}

bool CMotionModel::IsMotion(double share) const
{
    // Two samples at least: one alone is a block the encoder changed its mind about.
    return share >= m_minShare && share * double(m_background.size()) >= 1.5;
}

double CMotionModel::Threshold(size_t i) const { return std::max(m_floor, m_factor * m_noise[i]); }

double CMotionModel::Residual(const uint8_t* pSamples, size_t i) const
{
    return std::fabs(pSamples[i] - (m_gain * m_background[i] + m_offset));
}

size_t CMotionModel::Inliers(const uint8_t* pSamples, size_t n) const
{
    size_t inliers = 0;
    for (size_t i = 0; i < n; ++i)
        inliers += Residual(pSamples, i) <= Threshold(i);
    return inliers;
}

void CMotionModel::FitSquares(const uint8_t* pSamples, size_t n, bool bInliersOnly)
{
    double sb = 0, ss = 0, sbb = 0, sbs = 0, count = 0;
    for (size_t i = 0; i < n; ++i) {
        if (bInliersOnly && Residual(pSamples, i) > Threshold(i))
            continue;
        const double b = m_background[i], s = pSamples[i];
        sb += b, ss += s, sbb += b * b, sbs += b * s, count += 1;
    }
    if (count < 2)
        return;
    const double meanB = sb / count, meanS = ss / count;
    const double varB = sbb / count - meanB * meanB;
    const double gain = varB > kFlatVariance ? (sbs / count - meanB * meanS) / varB : 1.0;
    m_gain = std::clamp(gain, 0.5, 2.0);
    m_offset = meanS - m_gain * meanB;
}

void CMotionModel::FitMedian(const uint8_t* pSamples, size_t n)
{
    m_scratch.resize(n);
    for (size_t i = 0; i < n; ++i)
        m_scratch[i] = float(pSamples[i]) - m_background[i];
    std::nth_element(m_scratch.begin(), m_scratch.begin() + n / 2, m_scratch.end());
    m_gain = 1;
    m_offset = m_scratch[n / 2];
}

void CMotionModel::Fit(const uint8_t* pSamples, size_t n)
{
    // Least squares over every sample follows a change of the light's gain;
    // but a bright thing moving over a flat region drags it far off (the
    // samples it left and those it reached pull the gain down), and then every
    // sample seems to have moved. The median difference is not dragged so.
    // Whichever start leaves more samples within their noise is refined.
    m_gain = 1, m_offset = 0;
    FitSquares(pSamples, n, false);
    const double gain = m_gain, offset = m_offset;
    const size_t nSquares = Inliers(pSamples, n);
    FitMedian(pSamples, n);
    if (Inliers(pSamples, n) < nSquares)
        m_gain = gain, m_offset = offset;
    FitSquares(pSamples, n, true);
}

double CMotionModel::Compare(const uint8_t* pSamples, size_t n)
{
    if (n == 0 || n != m_background.size() || m_learnt == 0)
        return 0;
    Fit(pSamples, n);
    size_t moved = 0;
    for (size_t i = 0; i < n; ++i)
        moved += Residual(pSamples, i) > Threshold(i);
    return double(moved) / double(n);
}

void CMotionModel::Learn(const uint8_t* pSamples, size_t n)
{
    if (n != m_background.size() || m_learnt == 0) {
        m_background.assign(pSamples, pSamples + n);
        m_previous.assign(pSamples, pSamples + n);
        m_still.assign(n, 0);
        m_noise.assign(n, float(kStartNoise));
        m_gain = 1, m_offset = 0;
        m_learnt = 1;
        return;
    }
    Fit(pSamples, n);
    const bool bWarm = Warm();
    for (size_t i = 0; i < n; ++i) {
        const double residual = Residual(pSamples, i);
        const bool bMoved = bWarm && residual > Threshold(i);
        // The background follows the region's brightness at once, and its own changes slowly.
        const double fitted = m_gain * m_background[i] + m_offset;
        const bool bStill = std::fabs(pSamples[i] - m_previous[i]) <= Threshold(i);
        m_still[i] = bMoved && bStill ? uint8_t(std::min(m_still[i] + 1, 255)) : 0;
        const double rate = !bWarm ? kWarmRate : !bMoved                 ? kRate
                                             : m_still[i] >= kStillLooks ? 1.0
                                                                         : 0.0;
        m_background[i] = float(std::clamp(fitted + rate * (pSamples[i] - fitted), 0.0, 255.0));
        m_previous[i] = pSamples[i];
        if (!bMoved)
            m_noise[i] = float(m_noise[i] + (bWarm ? kRate : kWarmRate) * (residual - m_noise[i]));
    }
    m_gain = 1, m_offset = 0;
    if (m_learnt < kWarmFrames)
        ++m_learnt;
}
